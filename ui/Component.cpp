#include "ui/Component.h"

#include <algorithm>

TComponent::~TComponent() {
  if (FOwner) FOwner->Remove(this);
  FOwner = nullptr;
  // Each owned component takes itself out of the list while it is destroyed.
  while (!FComponents.empty()) delete FComponents.back();
}

void TComponent::Remove(TComponent* component) noexcept {
  const auto found = std::find(FComponents.begin(), FComponents.end(), component);
  if (found != FComponents.end()) FComponents.erase(found);
}
