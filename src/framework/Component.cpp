#include "framework/Component.h"

#include <algorithm>

namespace tavelo {

namespace {
void Erase(std::vector<TComponent*>& list, TComponent* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}
}  // namespace

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_) owner_->Insert(this);
}

TComponent::~TComponent() {
  // Watchers are told first, while this component is still whole.
  for (TComponent* watcher : std::vector<TComponent*>(watchers_)) {
    watcher->RemoveFreeNotification(this);
    watcher->Notification(this, TOperation::Remove);
  }
  DestroyComponents();
  if (owner_) owner_->Remove(this);
}

TComponent* TComponent::FindComponent(std::wstring_view name) const {
  for (TComponent* component : components_)
    if (component->name_ == name) return component;
  return nullptr;
}

void TComponent::FreeNotification(TComponent* watcher) {
  if (watcher == this) return;
  if (std::find(watchers_.begin(), watchers_.end(), watcher) == watchers_.end()) {
    watchers_.push_back(watcher);
    watcher->FreeNotification(this);  // both sides drop the link when either goes
  }
}

void TComponent::RemoveFreeNotification(TComponent* watcher) { Erase(watchers_, watcher); }

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::Remove) Erase(watchers_, component);
  for (TComponent* owned : std::vector<TComponent*>(components_))
    if (owned != component) owned->Notification(component, operation);
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) delete components_.back();  // removes itself from the list
}

void TComponent::Insert(TComponent* component) {
  components_.push_back(component);
  Notification(component, TOperation::Insert);
}

void TComponent::Remove(TComponent* component) {
  Erase(components_, component);
  Notification(component, TOperation::Remove);
}

}  // namespace tavelo
