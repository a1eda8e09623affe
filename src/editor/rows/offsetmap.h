#pragma once

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

// Values by text offset. An edit moves every key after it by the same
// amount, so the keys live in a sorted vector that one pass shifts, where a
// map would take each node out and put it back. A value stays where it is
// in memory until it is dropped, as in a map.
template <class T> class OffsetMap
{
public:
    T *find(int key) const
    {
        const auto at = lowerBound(key);
        return at != m_entries.end() && at->first == key ? at->second.get() : nullptr;
    }

    T &operator[](int key)
    {
        auto at = lowerBound(key);
        if (at == m_entries.end() || at->first != key)
            at = m_entries.emplace(at, key, std::make_unique<T>());
        return *at->second;
    }

    std::size_t size() const { return m_entries.size(); }
    void clear() { m_entries.clear(); }

    // Gives each entry the key `moved(key, value)` returns, or drops it for
    // a negative one; the keys kept must stay in their order.
    template <class Moved> void rekey(Moved moved)
    {
        auto out = m_entries.begin();
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
            const int key = moved(it->first, *it->second);
            if (key < 0)
                continue;
            it->first = key;
            if (out != it)
                *out = std::move(*it);
            ++out;
        }
        m_entries.erase(out, m_entries.end());
    }

private:
    using Entries = std::vector<std::pair<int, std::unique_ptr<T>>>;

    typename Entries::const_iterator lowerBound(int key) const
    {
        return std::lower_bound(m_entries.begin(), m_entries.end(), key,
                                [](const auto &entry, int at) { return entry.first < at; });
    }
    typename Entries::iterator lowerBound(int key)
    {
        return std::lower_bound(m_entries.begin(), m_entries.end(), key,
                                [](const auto &entry, int at) { return entry.first < at; });
    }

    Entries m_entries;
};
