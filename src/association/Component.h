// TComponent: the least of a component base. A component may own others and
// frees them with itself; it knows whether it is being designed or loaded; and
// it is told once its stored properties have been read.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace association {

class TComponent {
  public:
    explicit TComponent(TComponent* owner) : owner_(owner) {}
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    // Creates a component owned by this one, freed when this one is.
    template <typename T, typename... Args> T& CreateOwned(Args&&... args) {
        auto component = std::make_unique<T>(this, std::forward<Args>(args)...);
        T& created = *component;
        owned_.push_back(std::move(component));
        return created;
    }

    TComponent* Owner() const { return owner_; }
    std::size_t ComponentCount() const { return owned_.size(); }
    TComponent& Component(std::size_t index) const { return *owned_.at(index); }

    bool IsDesigning() const { return designing_; }
    void SetDesigning(bool designing) { designing_ = designing; }
    bool IsLoading() const { return loading_; }

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
    std::vector<std::unique_ptr<TComponent>> owned_;
    bool designing_ = false;
    bool loading_ = false;
};

} // namespace association
