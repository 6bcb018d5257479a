#pragma once

#include <pipewire/pipewire.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace sim {

// What the session manager linked: the server's nodes and links as its registry announces
// them, so that a client can say which nodes feed its own. Used on the client's loop thread
// or under its loop lock.
class PipeWireLinks {
public:
    PipeWireLinks() = default;
    ~PipeWireLinks() { Detach(); }
    PipeWireLinks(const PipeWireLinks&) = delete;
    PipeWireLinks& operator=(const PipeWireLinks&) = delete;

    bool Attach(pw_core* core);
    void Detach();

    // The nodes linked into node `id`, each once: "monitor of NAME" for a sink, else NAME.
    std::vector<std::string> Feeding(uint32_t id) const;

private:
    struct Node {
        std::string name;
        bool sink = false;
    };
    struct Link {
        uint32_t from = 0;
        uint32_t to = 0;
    };

    static void Global(void* data, uint32_t id, uint32_t, const char* type, uint32_t,
                       const spa_dict* props);
    static void GlobalRemove(void* data, uint32_t id);

    pw_registry* registry_ = nullptr;
    spa_hook listener_{};
    std::map<uint32_t, Node> nodes_;
    std::map<uint32_t, Link> links_;
};

} // namespace sim
