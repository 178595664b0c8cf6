// TComponent: the least of a component base. A component created with an
// owner belongs to it and is freed with it, however it was created; it knows
// whether it is being designed or loaded; and it is told once its stored
// properties have been read.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace association {

class TComponent {
  public:
    // With an owner, the component must live on the heap: the owner deletes it.
    explicit TComponent(TComponent* owner);
    // Frees the owned components, then leaves the owner's list.
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    // Creates a component owned by this one, freed when this one is.
    template <typename T, typename... Args> T& CreateOwned(Args&&... args) {
        return *new T(this, std::forward<Args>(args)...);
    }

    [[nodiscard]] TComponent* Owner() const { return owner_; }
    [[nodiscard]] std::size_t ComponentCount() const { return owned_.size(); }
    [[nodiscard]] TComponent& Component(std::size_t index) const { return *owned_.at(index); }

    [[nodiscard]] bool IsDesigning() const { return designing_; }
    void SetDesigning(bool designing) { designing_ = designing; }
    [[nodiscard]] bool IsLoading() const { return loading_; }

    // Stored properties are assigned between these two; EndLoading runs Loaded.
    void BeginLoading() { loading_ = true; }
    void EndLoading();

    std::string Name;
    long Tag = 0;

  protected:
    // Runs after the stored properties have been read.
    virtual void Loaded() {}

  private:
    TComponent* owner_;
    std::vector<TComponent*> owned_; // owned: deleted by the destructor
    bool designing_ = false;
    bool loading_ = false;
};

} // namespace association
