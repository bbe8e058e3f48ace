#pragma once
// Components have an owner, which destroys them with itself in the reverse
// order of their creation. A component that refers to another one it does
// not own asks to be told when that one is destroyed.
#include <string>
#include <string_view>
#include <vector>

#include "framework/Object.h"

namespace tavelo {

enum class TOperation { Insert, Remove };

class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;

  TComponent* Owner() const { return owner_; }
  const std::wstring& Name() const { return name_; }
  void SetName(std::wstring name) { name_ = std::move(name); }

  // The owned component of that name (case-sensitive), or null.
  TComponent* FindComponent(std::wstring_view name) const;
  const std::vector<TComponent*>& Components() const { return components_; }

  // Asks that `watcher` be told when this component is destroyed.
  void FreeNotification(TComponent* watcher);
  void RemoveFreeNotification(TComponent* watcher);

 protected:
  // Called when `component` is inserted or is about to be destroyed.
  virtual void Notification(TComponent* component, TOperation operation);
  // Destroys the owned components, last created first. Derived classes call
  // it early in their destructor when their components use the derived part.
  void DestroyComponents();

 private:
  void Insert(TComponent* component);
  void Remove(TComponent* component);

  TComponent* owner_;
  std::wstring name_;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> watchers_;
};

}  // namespace tavelo
