// The host's ordered dictionary: keys ordered by operator<, iteration in key order.
#pragma once

#include <map>

namespace TOVO {

template <typename K, typename V> class TovoDict {
public:
    using Map = std::map<K, V>;
    using iterator = typename Map::iterator;
    using const_iterator = typename Map::const_iterator;

    int GetCount() const { return static_cast<int>(m_map.size()); }
    int GetSize() const { return GetCount(); }
    bool IsEmpty() const { return m_map.empty(); }

    // TRUE and the value when the key is present; the value is untouched otherwise.
    unsigned char Lookup(const K& key, V& value) const {
        auto it = m_map.find(key);
        if (it == m_map.end())
            return 0;
        value = it->second;
        return 1;
    }
    // A pointer to the stored value, or null: a lookup that copies nothing.
    const V* PLookup(const K& key) const {
        auto it = m_map.find(key);
        return it == m_map.end() ? nullptr : &it->second;
    }
    V* PLookup(const K& key) {
        auto it = m_map.find(key);
        return it == m_map.end() ? nullptr : &it->second;
    }
    // Inserts an absent key with a value-initialised value.
    V& operator[](const K& key) { return m_map[key]; }
    void SetAt(const K& key, const V& value) { m_map[key] = value; }
    unsigned char RemoveKey(const K& key) { return m_map.erase(key) ? 1 : 0; }
    void RemoveAll() { m_map.clear(); }

    iterator begin() { return m_map.begin(); }
    iterator end() { return m_map.end(); }
    const_iterator begin() const { return m_map.begin(); }
    const_iterator end() const { return m_map.end(); }

private:
    Map m_map;
};

} // namespace TOVO
