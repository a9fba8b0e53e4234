#pragma once
// Ownership of components: whoever owns a component destroys it together with itself, and
// a component destroyed earlier leaves its owner's list, so nothing is destroyed twice.

#include <vector>

class TComponent {
 public:
  constexpr explicit TComponent(TComponent* owner) noexcept : FOwner(owner) {
    if (owner) owner->FComponents.push_back(this);
  }
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const noexcept { return FOwner; }
  const std::vector<TComponent*>& Components() const noexcept { return FComponents; }

 private:
  void Remove(TComponent* component) noexcept;

  TComponent* FOwner;
  std::vector<TComponent*> FComponents;
};
