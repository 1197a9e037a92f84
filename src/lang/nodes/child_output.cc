#include "lang/nodes/child_output.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "lang/eval/eval_context.h"

void Output_sink::take(const char* chunk, std::size_t length) {
    if (const void* nul = std::memchr(chunk, '\0', length))
        length = static_cast<std::size_t>(static_cast<const char*>(nul) - chunk);
    if (capture)
        captured.append(chunk, length);
    else
        store->on_text(std::string_view(chunk, length));
}

// A pipe may deliver less than asked for: each chunk is filled up to 200 bytes (or the end of the output)
// before it is taken, so that where a chunk ends does not depend on how the program wrote.
void collect_output(int fd, Output_sink& sink) {
    constexpr std::size_t chunk_size = 200;
    char chunk[chunk_size];
    bool more = true;
    while (more) {
        std::size_t filled = 0;
        while (filled < chunk_size) {
            ssize_t n = ::read(fd, chunk + filled, chunk_size - filled);
            if (n > 0) {
                filled += static_cast<std::size_t>(n);
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else {
                more = false;
                break;
            }
        }
        if (filled > 0)
            sink.take(chunk, filled);
    }
}
