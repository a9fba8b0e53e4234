#include "errors/AssignObject.h"

#include "errors/Exceptions.h"
#include "resources/Texts.h"

namespace {

// The default Assign asks the source's AssignTo, whose default asks the target's Assign
// again. When neither class knows the other, the same pair comes round a second time:
// that is where the request ends with "Cannot assign" instead of recursing for ever.
struct TPendingAssign {
  const TObject* Target;
  const TObject* Source;
  const TPendingAssign* Outer;
};
thread_local const TPendingAssign* PendingAssign = nullptr;

bool IsPending(const TObject& target, const TObject& source) {
  for (const TPendingAssign* p = PendingAssign; p; p = p->Outer)
    if (p->Target == &target && p->Source == &source) return true;
  return false;
}

class TPendingScope {
 public:
  TPendingScope(const TObject& target, const TObject& source)
      : FEntry{&target, &source, PendingAssign} {
    PendingAssign = &FEntry;
  }
  ~TPendingScope() { PendingAssign = FEntry.Outer; }
  TPendingScope(const TPendingScope&) = delete;
  TPendingScope& operator=(const TPendingScope&) = delete;

 private:
  TPendingAssign FEntry;
};

}  // namespace

void RaiseCannotAssign(const TObject& source, const TObject& target) {
  throw Exception(FormatText(S_CANNOT_ASSIGN, source.ClassName(), target.ClassName()));
}

void TAssignObject::Assign(const TObject& source) {
  const auto* assignable = dynamic_cast<const TAssignObject*>(&source);
  if (!assignable || IsPending(*this, source)) RaiseCannotAssign(source, *this);
  TPendingScope pending(*this, source);
  assignable->AssignTo(*this);
}

void TAssignObject::AssignTo(TObject& target) const {
  auto* assignable = dynamic_cast<TAssignObject*>(&target);
  if (!assignable) RaiseCannotAssign(*this, target);
  assignable->Assign(*this);
}
