#include "driver/pipewire_links.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace sim {

namespace {

uint32_t IdIn(const spa_dict* props, const char* key) {
    const char* value = spa_dict_lookup(props, key);
    return value != nullptr ? uint32_t(std::strtoul(value, nullptr, 10)) : SPA_ID_INVALID;
}

} // namespace

bool PipeWireLinks::Attach(pw_core* core) {
    registry_ = pw_core_get_registry(core, PW_VERSION_REGISTRY, 0);
    if (registry_ == nullptr)
        return false;
    static const pw_registry_events events = [] {
        pw_registry_events e{};
        e.version = PW_VERSION_REGISTRY_EVENTS;
        e.global = &PipeWireLinks::Global;
        e.global_remove = &PipeWireLinks::GlobalRemove;
        return e;
    }();
    pw_registry_add_listener(registry_, &listener_, &events, this);
    return true;
}

void PipeWireLinks::Detach() {
    if (registry_ == nullptr)
        return;
    spa_hook_remove(&listener_);
    pw_proxy_destroy(reinterpret_cast<pw_proxy*>(registry_));
    registry_ = nullptr;
}

std::vector<std::string> PipeWireLinks::Feeding(uint32_t id) const {
    std::vector<std::string> names;
    for (const auto& [linkId, link] : links_) {
        auto node = nodes_.find(link.from);
        if (link.to != id || node == nodes_.end())
            continue;
        std::string name = (node->second.sink ? "monitor of " : "") + node->second.name;
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    return names;
}

void PipeWireLinks::Global(void* data, uint32_t id, uint32_t, const char* type, uint32_t,
                           const spa_dict* props) {
    auto* self = static_cast<PipeWireLinks*>(data);
    if (props == nullptr)
        return;
    if (std::strcmp(type, PW_TYPE_INTERFACE_Node) == 0) {
        const char* name = spa_dict_lookup(props, PW_KEY_NODE_NAME);
        const char* kind = spa_dict_lookup(props, PW_KEY_MEDIA_CLASS);
        self->nodes_[id] = {name != nullptr ? name : std::to_string(id),
                            kind != nullptr && std::strcmp(kind, "Audio/Sink") == 0};
    } else if (std::strcmp(type, PW_TYPE_INTERFACE_Link) == 0) {
        self->links_[id] = {IdIn(props, PW_KEY_LINK_OUTPUT_NODE),
                            IdIn(props, PW_KEY_LINK_INPUT_NODE)};
    }
}

void PipeWireLinks::GlobalRemove(void* data, uint32_t id) {
    auto* self = static_cast<PipeWireLinks*>(data);
    self->nodes_.erase(id);
    self->links_.erase(id);
}

} // namespace sim
