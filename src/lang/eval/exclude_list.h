// The names the site's archive leaves out (the makefile's ".sources" file): a set of texts, kept packed
// in one buffer, in byte order and each once only when they are read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class Exclude_list {
public:
    // Adds one entry (its text ends with a newline).
    void insert(const std::string& entry);
    // Adds the entry of a source file: "path\npath~\n", kept as the path alone.
    void insert_source(const std::string& path);
    bool empty() const { return refs_.empty(); }
    void clear();
    // Gives every entry once, in byte order, piece by piece.
    void write(const std::function<void(std::string_view)>& put);

private:
    struct Ref {
        std::size_t offset;
        uint32_t length;
        bool source; // the text is a source's path: the entry is the path, "\n", the path, "~\n"
    };
    int compare(const Ref& a, const Ref& b) const;
    std::string pool_;
    std::vector<Ref> refs_;
};
