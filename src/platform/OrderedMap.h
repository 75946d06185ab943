#pragma once

#include "platform/ProgrammingError.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tresol {

// A keyed collection: look-up by text key, iteration in insertion order, positions 1…n.
// Adding a key twice, or asking for a key or position that is not there, is a programming error.
template <class T> class OrderedMap {
  public:
    using Entry = std::pair<std::string, T>;

    void add(std::string key, T value) {
        if (index_.contains(key))
            throw ProgrammingError("duplicate key in collection: " + key);
        index_.emplace(key, items_.size());
        items_.emplace_back(std::move(key), std::move(value));
    }

    bool contains(std::string_view key) const { return index_.contains(std::string(key)); }

    T* find(std::string_view key) {
        auto it = index_.find(std::string(key));
        return it == index_.end() ? nullptr : &items_[it->second].second;
    }
    const T* find(std::string_view key) const {
        auto it = index_.find(std::string(key));
        return it == index_.end() ? nullptr : &items_[it->second].second;
    }

    T& get(std::string_view key) {
        if (T* p = find(key))
            return *p;
        throw ProgrammingError("key not in collection: " + std::string(key));
    }
    const T& get(std::string_view key) const {
        if (const T* p = find(key))
            return *p;
        throw ProgrammingError("key not in collection: " + std::string(key));
    }

    // Position 1…count().
    T& at(std::int32_t position) { return items_[checked(position)].second; }
    const T& at(std::int32_t position) const { return items_[checked(position)].second; }
    const std::string& keyAt(std::int32_t position) const {
        return items_[checked(position)].first;
    }

    void remove(std::string_view key) {
        auto it = index_.find(std::string(key));
        if (it == index_.end())
            throw ProgrammingError("key not in collection: " + std::string(key));
        const std::size_t pos = it->second;
        index_.erase(it);
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(pos));
        for (std::size_t i = pos; i < items_.size(); ++i)
            index_[items_[i].first] = i;
    }

    void clear() {
        items_.clear();
        index_.clear();
    }

    std::int32_t count() const { return static_cast<std::int32_t>(items_.size()); }
    bool empty() const { return items_.empty(); }

    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

  private:
    std::size_t checked(std::int32_t position) const {
        if (position < 1 || static_cast<std::size_t>(position) > items_.size())
            throw ProgrammingError("collection position out of range: " + std::to_string(position));
        return static_cast<std::size_t>(position - 1);
    }

    std::vector<Entry> items_;
    std::unordered_map<std::string, std::size_t> index_;
};

} // namespace tresol
