#pragma once
// A program's tags as a row of the Collection view keeps them: most programs have none, and
// a million rows are kept, so an empty list is one null pointer (8 bytes, where a vector is
// 24) and the rows stay small to move. Otherwise a sorted vector of the tags, read and
// compared as one.

#include <memory>
#include <string>
#include <vector>

class CTagList
{
public:
    using value_type = std::string;
    using iterator = std::string*;
    using const_iterator = const std::string*;

    CTagList() = default;
    CTagList(std::vector<std::string> tags) { Assign(std::move(tags)); }   // NOLINT: as a vector
    CTagList(const CTagList& other) { Assign(other.Tags()); }
    CTagList(CTagList&&) noexcept = default;
    CTagList& operator=(const CTagList& other)
    {
        if (this != &other)
            Assign(other.Tags());
        return *this;
    }
    CTagList& operator=(CTagList&&) noexcept = default;

    // The tags, as a vector (an empty one when there are none).
    const std::vector<std::string>& Tags() const { return m_tags ? *m_tags : Empty(); }
    operator const std::vector<std::string>&() const { return Tags(); }   // NOLINT: read as a vector

    bool empty() const { return !m_tags; }
    std::size_t size() const { return m_tags ? m_tags->size() : 0; }
    void push_back(std::string tag)
    {
        if (!m_tags)
            m_tags = std::make_unique<std::vector<std::string>>();
        m_tags->push_back(std::move(tag));
    }
    iterator begin() { return m_tags ? m_tags->data() : nullptr; }
    iterator end() { return m_tags ? m_tags->data() + m_tags->size() : nullptr; }
    const_iterator begin() const { return m_tags ? m_tags->data() : nullptr; }
    const_iterator end() const { return m_tags ? m_tags->data() + m_tags->size() : nullptr; }

    friend bool operator==(const CTagList& a, const CTagList& b) { return a.Tags() == b.Tags(); }
    friend bool operator!=(const CTagList& a, const CTagList& b) { return !(a == b); }
    friend bool operator<(const CTagList& a, const CTagList& b) { return a.Tags() < b.Tags(); }

private:
    void Assign(std::vector<std::string> tags)
    {
        m_tags = tags.empty() ? nullptr : std::make_unique<std::vector<std::string>>(std::move(tags));
    }
    static const std::vector<std::string>& Empty()
    {
        static const std::vector<std::string> none;
        return none;
    }

    std::unique_ptr<std::vector<std::string>> m_tags;   // null: no tags
};
