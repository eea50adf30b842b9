#include "controls/layout.h"

#include <algorithm>
#include <cstring>

namespace nimbrel {
namespace {

bool IsContainer(TControlKind kind) {
    return kind == TControlKind::Form || kind == TControlKind::TabSheet ||
           kind == TControlKind::Panel || kind == TControlKind::GroupBox;
}

bool SameName(const char* a, const char* b) {
    return a != nullptr && b != nullptr && std::strcmp(a, b) == 0;
}

void Walk(TLayout layout, const TLayoutRow& parent, std::vector<const TLayoutRow*>& chain) {
    std::vector<const TLayoutRow*> children;
    for (const TLayoutRow& row : layout) {
        if (SameName(row.Parent, parent.Name))
            children.push_back(&row);
    }
    if (parent.Kind == TControlKind::PageControl) {
        // Pages in their own order, each page's controls in theirs.
        for (const TLayoutRow* page : children)
            Walk(layout, *page, chain);
        return;
    }
    std::erase_if(children, [](const TLayoutRow* row) { return row->TabOrder < 0; });
    std::stable_sort(
        children.begin(), children.end(),
        [](const TLayoutRow* a, const TLayoutRow* b) { return a->TabOrder < b->TabOrder; });
    for (const TLayoutRow* child : children) {
        if (!IsContainer(child->Kind))
            chain.push_back(child);
        if (IsContainer(child->Kind) || child->Kind == TControlKind::PageControl)
            Walk(layout, *child, chain);
    }
}

} // namespace

const TLayoutRow* FindRow(TLayout layout, std::string_view name) {
    for (const TLayoutRow& row : layout) {
        if (row.Name == name)
            return &row;
    }
    return nullptr;
}

std::vector<const TLayoutRow*> TabChain(TLayout layout) {
    std::vector<const TLayoutRow*> chain;
    for (const TLayoutRow& row : layout) {
        if (row.Kind == TControlKind::Form)
            Walk(layout, row, chain);
    }
    return chain;
}

std::string_view::size_type AccessKeyPosition(std::string_view caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] != '&')
            return i + 1;
        ++i;
    }
    return std::string_view::npos;
}

} // namespace nimbrel
