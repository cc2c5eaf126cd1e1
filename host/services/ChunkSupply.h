// Fresh memory for the logger, prepared ahead. Logging a capture of millions of items takes a new
// chunk every few milliseconds, and the first touch of fresh memory is the largest cost of logging
// on the virtual machines that profiling sessions often run on (a trap into the hypervisor per page).
// A helper thread maps and touches the next chunks while the UI thread logs into the current. The
// chunks come straight from the kernel, outside the heap: preparing one never holds the heap's lock
// that the UI thread's own allocations need.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class ChunkSupply
{
public:
    // The size of a huge page, and aligned as one, though chunks are kept to small pages (Allocate).
    static constexpr std::size_t kChunkSize = std::size_t{1} << 21;

    struct Free
    {
        std::size_t bytes = 0;
        void operator()(unsigned char* pStorage) const;
    };
    using Storage = std::unique_ptr<unsigned char[], Free>;

    // Keeps `ahead` chunks ready once asked for the first.
    explicit ChunkSupply(std::size_t ahead = 2) : m_ahead(ahead) {}
    // Stops the helper and frees the chunks nobody took.
    ~ChunkSupply();
    ChunkSupply(const ChunkSupply&) = delete;
    ChunkSupply& operator=(const ChunkSupply&) = delete;

    // A ready chunk, or one mapped on the spot while the helper is behind; the helper then
    // prepares the next. Throws std::bad_alloc when the system has no memory to map.
    Storage Take();

    // Storage of `chunks` chunks in one piece, aligned as a chunk, mapped on the spot.
    static Storage Allocate(std::size_t chunks);

private:
    void PrepareAhead();

    const std::size_t m_ahead;
    std::mutex m_mutex;
    std::condition_variable m_wanted;
    std::vector<Storage> m_ready;
    bool m_bStop = false;
    std::thread m_helper;
};
