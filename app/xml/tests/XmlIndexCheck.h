// Test helpers: structural checks of an XmlDocument's element index, and a
// comparison of an edited document's index with a fresh parse of its text.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "app/xml/XmlDocument.h"

namespace Quillon::XmlTesting {

// The elements in document order, by walking the links from entry 0.
inline std::vector<int> DocumentOrder(const XmlDocument& doc) {
    const auto& index = doc.GetIndex();
    std::vector<int> order;
    std::vector<int> stack;
    int e = index.empty() ? 0 : index[0].first_child;
    while (e != 0 || !stack.empty()) {
        if (e == 0) {
            e = index[static_cast<std::size_t>(stack.back())].next_sibling;
            stack.pop_back();
            continue;
        }
        if (order.size() > index.size())
            break; // a cycle: the caller's count check fails
        order.push_back(e);
        stack.push_back(e);
        e = index[static_cast<std::size_t>(e)].first_child;
    }
    return order;
}

// Every element is reachable once, sits inside its parent and after its
// previous sibling, starts with "<" and has a start tag ending in ">".
inline ::testing::AssertionResult IndexIsConsistent(const XmlDocument& doc) {
    const auto& index = doc.GetIndex();
    const std::wstring& text = doc.GetText();
    if (index.empty() || index[0].length != text.size())
        return ::testing::AssertionFailure() << "entry 0 does not span the text";
    std::vector<int> order = DocumentOrder(doc);
    if (order.size() != index.size() - 1)
        return ::testing::AssertionFailure()
               << "reachable " << order.size() << " of " << index.size() - 1;
    for (int n : order) {
        const XmlElementEntry& e = index[static_cast<std::size_t>(n)];
        const XmlElementEntry& p = index[static_cast<std::size_t>(e.parent)];
        auto fail = [&] { return ::testing::AssertionFailure() << "element " << n << ": "; };
        if (e.offset + e.length > text.size() || text[e.offset] != L'<')
            return fail() << "bad span";
        if (e.start_tag_length + e.end_tag_length > e.length ||
            text[e.offset + e.start_tag_length - 1] != L'>')
            return fail() << "bad start tag";
        if (e.parent != 0 && (e.offset < p.offset + p.start_tag_length ||
                              e.offset + e.length > p.offset + p.length - p.end_tag_length))
            return fail() << "outside its parent";
        if (e.level != p.level + 1)
            return fail() << "level";
        if (e.previous_sibling != 0) {
            const XmlElementEntry& prev = index[static_cast<std::size_t>(e.previous_sibling)];
            if (prev.next_sibling != n || prev.parent != e.parent ||
                prev.offset + prev.length > e.offset)
                return fail() << "sibling links";
        } else if (p.first_child != n) {
            return fail() << "first child link";
        }
    }
    return ::testing::AssertionSuccess();
}

// An edited document's index must describe its text exactly as a new parse
// of that text does.
inline ::testing::AssertionResult IndexMatchesReparse(const XmlDocument& doc) {
    if (auto consistent = IndexIsConsistent(doc); !consistent)
        return consistent;
    XmlDocument fresh(doc.GetText());
    auto describe = [](const XmlDocument& d) {
        std::vector<std::tuple<std::size_t, std::size_t, std::size_t, std::size_t, int>> out;
        for (int n : DocumentOrder(d)) {
            const XmlElementEntry& e = d.GetIndex()[static_cast<std::size_t>(n)];
            out.emplace_back(e.offset, e.length, e.start_tag_length, e.end_tag_length, e.level);
        }
        return out;
    };
    if (describe(doc) != describe(fresh))
        return ::testing::AssertionFailure() << "index differs from a fresh parse";
    return ::testing::AssertionSuccess();
}

} // namespace Quillon::XmlTesting
