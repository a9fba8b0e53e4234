#pragma once
// TObject is the root of everything that takes part in the assign protocol: the system's
// own copyable objects and the window layer's bitmaps. TAssignObject adds the protocol.

class TObject {
 public:
  virtual ~TObject() = default;
  // The class identifier, as the "Cannot assign" messages print it.
  virtual const char* ClassName() const noexcept = 0;

 protected:
  TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;
};

// Objects that can be copied into one another. Assign pulls the state of a source into
// this object; AssignTo pushes this object into a target. Each side handles the kinds it
// knows and otherwise hands the request to the other side.
class TAssignObject : public TObject {
 public:
  virtual void Assign(const TObject& source);
  virtual void AssignTo(TObject& target) const;
};

// The generic error "Cannot assign <source> to <target>".
[[noreturn]] void RaiseCannotAssign(const TObject& source, const TObject& target);
