#include "archive/lzh_huffman_tree.h"

#include <algorithm>
#include <cstring>

namespace nimbrel::lzh {

void HuffmanTree::Clear() {
    frequency.fill(0);
    parent.fill(0);
    child.fill(0);
}

void HuffmanTree::StartHuff() {
    for (unsigned i = 0; i < SymbolCount; ++i) {
        frequency[i] = 1;
        child[i] = static_cast<std::uint16_t>(i + TreeSize);
        parent[i + TreeSize] = static_cast<std::uint16_t>(i);
    }
    for (unsigned i = 0, j = SymbolCount; j <= Root; i += 2, ++j) {
        frequency[j] = static_cast<std::uint16_t>(frequency[i] + frequency[i + 1]);
        child[j] = static_cast<std::uint16_t>(i);
        parent[i] = parent[i + 1] = static_cast<std::uint16_t>(j);
    }
    frequency[TreeSize] = 0xFFFF;
    parent[Root] = 0;
}

void HuffmanTree::Reconst() {
    // Gather the leaves, in their old order, into the first SymbolCount entries.
    unsigned leaves = 0;
    for (unsigned i = 0; i < TreeSize; ++i) {
        if (child[i] >= TreeSize) {
            frequency[leaves] = static_cast<std::uint16_t>((frequency[i] + 1) / 2);
            child[leaves] = child[i];
            ++leaves;
        }
    }
    // Rebuild the inner nodes; a new node goes after the nodes of equal frequency.
    for (unsigned i = 0, j = SymbolCount; j < TreeSize; i += 2, ++j) {
        const std::uint16_t sum = static_cast<std::uint16_t>(frequency[i] + frequency[i + 1]);
        unsigned k = j - 1;
        while (sum < frequency[k])
            --k;
        ++k;
        std::memmove(&frequency[k + 1], &frequency[k], (j - k) * sizeof frequency[0]);
        std::memmove(&child[k + 1], &child[k], (j - k) * sizeof child[0]);
        frequency[k] = sum;
        child[k] = static_cast<std::uint16_t>(i);
    }
    // Relink the parents.
    for (unsigned i = 0; i < TreeSize; ++i) {
        const unsigned k = child[i];
        parent[k] = static_cast<std::uint16_t>(i);
        if (k < TreeSize)
            parent[k + 1] = static_cast<std::uint16_t>(i);
    }
}

} // namespace nimbrel::lzh
