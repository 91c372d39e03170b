// The host's growable array: elements by value, with a grow size that copies keep.
#pragma once

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace TOVO {

template <typename T> class TovoArray {
public:
    TovoArray() = default;

    int GetSize() const { return static_cast<int>(m_data.size()); }
    int GetCount() const { return GetSize(); }
    bool IsEmpty() const { return m_data.empty(); }
    int GetUpperBound() const { return GetSize() - 1; }
    int GetGrowBy() const { return m_nGrowBy; }

    // New elements are value-initialised (zeros, or default-constructed objects).
    void SetSize(int nNewSize, int nGrowBy = -1) {
        if (nGrowBy >= 0)
            m_nGrowBy = nGrowBy;
        m_data.resize(nNewSize > 0 ? static_cast<std::size_t>(nNewSize) : 0u);
    }
    void RemoveAll() { m_data.clear(); }
    void FreeExtra() { m_data.shrink_to_fit(); }

    const T& GetAt(int nIndex) const { return m_data[Checked(nIndex)]; }
    void SetAt(int nIndex, const T& value) { m_data[Checked(nIndex)] = value; }
    T& ElementAt(int nIndex) { return m_data[Checked(nIndex)]; }
    const T& ElementAt(int nIndex) const { return m_data[Checked(nIndex)]; }
    T& operator[](int nIndex) { return m_data[Checked(nIndex)]; }
    const T& operator[](int nIndex) const { return m_data[Checked(nIndex)]; }

    T* GetData() { return m_data.data(); }
    const T* GetData() const { return m_data.data(); }

    // Appends and returns the new element's index.
    int Add(const T& value) {
        m_data.push_back(value);
        return GetSize() - 1;
    }
    int Add(T&& value) {
        m_data.push_back(std::move(value));
        return GetSize() - 1;
    }
    // Appends a copy of every element of the other array; returns the index of the first.
    int Append(const TovoArray& other) {
        const int first = GetSize();
        if (&other == this) {
            std::vector<T> copy(other.m_data);
            m_data.insert(m_data.end(), copy.begin(), copy.end());
        } else {
            m_data.insert(m_data.end(), other.m_data.begin(), other.m_data.end());
        }
        return first;
    }
    void Copy(const TovoArray& other) { *this = other; }

    // Inserts nCount copies before nIndex; a position past the end, or a negative one, appends.
    void InsertAt(int nIndex, const T& value, int nCount = 1) {
        if (nCount <= 0)
            return;
        const T copy(value); // the value may live inside this array
        const std::size_t pos =
            (nIndex < 0 || nIndex > GetSize()) ? m_data.size() : static_cast<std::size_t>(nIndex);
        m_data.insert(m_data.begin() + static_cast<std::ptrdiff_t>(pos),
                      static_cast<std::size_t>(nCount), copy);
    }
    // Inserts copies of every element of the other array (which may be this one) before nIndex,
    // with the same position rule.
    void InsertAt(int nIndex, const TovoArray& other) {
        const std::vector<T> copy(other.m_data);
        const std::size_t pos =
            (nIndex < 0 || nIndex > GetSize()) ? m_data.size() : static_cast<std::size_t>(nIndex);
        m_data.insert(m_data.begin() + static_cast<std::ptrdiff_t>(pos), copy.begin(), copy.end());
    }

    // Removes at most nCount elements from nIndex and returns how many were removed:
    // 0 when the count is not positive or the position is not inside the array.
    int RemoveAt(int nIndex, int nCount = 1) {
        if (nCount <= 0 || nIndex < 0 || nIndex >= GetSize())
            return 0;
        const int removed = std::min(nCount, GetSize() - nIndex);
        auto first = m_data.begin() + nIndex;
        m_data.erase(first, first + removed);
        return removed;
    }

    typename std::vector<T>::iterator begin() { return m_data.begin(); }
    typename std::vector<T>::iterator end() { return m_data.end(); }
    typename std::vector<T>::const_iterator begin() const { return m_data.begin(); }
    typename std::vector<T>::const_iterator end() const { return m_data.end(); }

    void Reserve(int n) {
        if (n > 0)
            m_data.reserve(static_cast<std::size_t>(n));
    }

private:
    std::size_t Checked(int nIndex) const {
        if (nIndex < 0 || nIndex >= GetSize())
            throw std::out_of_range("TovoArray: index " + std::to_string(nIndex) + " outside 0.." +
                                    std::to_string(GetSize() - 1));
        return static_cast<std::size_t>(nIndex);
    }

    std::vector<T> m_data;
    int m_nGrowBy = 0;
};

} // namespace TOVO
