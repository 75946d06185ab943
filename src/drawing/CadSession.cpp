#include "drawing/CadSession.h"

#include "drawing/CadDxf.h"

#include <map>
#include <mutex>
#include <utility>

namespace tresol {
namespace {

// The sessions of one automation class: who starts them, and those started so far (a session
// stays open while somebody holds it).
struct ClassEntry {
    CadProvider provider;
    std::vector<std::weak_ptr<CadApplication>> open;
};

struct Registry {
    std::mutex mutex;
    std::map<std::string, ClassEntry> classes;

    Registry() {
        classes[kCadClassName].provider = [] { return std::make_shared<CadDxfApplication>(); };
    }
};

Registry& registry() {
    static Registry r;
    return r;
}

} // namespace

std::shared_ptr<CadApplication> CadAttach(const std::string& className) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.classes.find(className);
    if (it == r.classes.end())
        return nullptr;
    auto& open = it->second.open;
    std::erase_if(open, [](const auto& w) { return w.expired(); });
    return open.empty() ? nullptr : open.back().lock();
}

std::shared_ptr<CadApplication> CadStart(const std::string& className) {
    Registry& r = registry();
    CadProvider provider;
    {
        std::lock_guard lock(r.mutex);
        auto it = r.classes.find(className);
        if (it == r.classes.end() || !it->second.provider)
            return nullptr;
        provider = it->second.provider;
    }
    // The provider runs unlocked: it may itself look at the registry.
    std::shared_ptr<CadApplication> app = provider();
    if (app) {
        std::lock_guard lock(r.mutex);
        r.classes[className].open.push_back(app);
    }
    return app;
}

struct ScopedCadProvider::Saved {
    std::string className;
    bool existed = false;
    ClassEntry entry;
};

ScopedCadProvider::ScopedCadProvider(std::string className, CadProvider provider)
    : saved_(std::make_unique<Saved>()) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    saved_->className = className;
    auto it = r.classes.find(className);
    if (it != r.classes.end()) {
        saved_->existed = true;
        saved_->entry = std::move(it->second);
    }
    r.classes[className] = ClassEntry{std::move(provider), {}};
}

ScopedCadProvider::~ScopedCadProvider() {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    if (saved_->existed)
        r.classes[saved_->className] = std::move(saved_->entry);
    else
        r.classes.erase(saved_->className);
}

} // namespace tresol
