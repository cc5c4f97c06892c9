// An array of values kept in ascending order of a key, never holding two equal keys: the
// collections of AutoCAD products, profiles and workspaces.
#pragma once

#include "foundation/text_compare.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarvox::autocad {

// KeyOf(element) gives the element's key as a string view.
template <class Element, class KeyOf>
class CSortedArray {
public:
    // Binary search: true with the index of the equal element, or false with the index at
    // which the key keeps the order.
    bool Find(std::wstring_view key, std::size_t& index) const {
        std::size_t low = 0;
        std::size_t high = m_Elements.size();
        while (low < high) {
            const std::size_t middle = low + (high - low) / 2;
            const int order = CompareIgnoringCaseByCharacter(KeyOf{}(m_Elements[middle]), key);
            if (order == 0) {
                index = middle;
                return true;
            }
            if (order < 0) {
                low = middle + 1;
            } else {
                high = middle;
            }
        }
        index = low;
        return false;
    }

    // Copies the element in at its place unless an equal key is there; returns the index of
    // the element with that key either way.
    std::size_t Add(const Element& element) {
        std::size_t index = 0;
        if (!Find(KeyOf{}(element), index)) {
            m_Elements.insert(m_Elements.begin() + static_cast<std::ptrdiff_t>(index), element);
        }
        return index;
    }

    // The element with the key, or null; index -1 when absent.
    Element* FindByName(std::wstring_view key, long long& index) {
        std::size_t at = 0;
        if (!Find(key, at)) {
            index = -1;
            return nullptr;
        }
        index = static_cast<long long>(at);
        return &m_Elements[at];
    }
    Element* FindByName(std::wstring_view key) {
        long long index = 0;
        return FindByName(key, index);
    }

    std::size_t GetSize() const { return m_Elements.size(); }
    bool IsEmpty() const { return m_Elements.empty(); }
    Element& operator[](std::size_t index) { return m_Elements[index]; }
    const Element& operator[](std::size_t index) const { return m_Elements[index]; }
    void RemoveAt(std::size_t index) {
        m_Elements.erase(m_Elements.begin() + static_cast<std::ptrdiff_t>(index));
    }
    void RemoveAll() { m_Elements.clear(); }

    auto begin() { return m_Elements.begin(); }
    auto end() { return m_Elements.end(); }
    auto begin() const { return m_Elements.begin(); }
    auto end() const { return m_Elements.end(); }

private:
    std::vector<Element> m_Elements;
};

}  // namespace tarvox::autocad
