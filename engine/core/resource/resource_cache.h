// Name-keyed caches of loaded assets. A cache loads each identifier once through its loader
// and hands out the same pointer until the identifier is released; there is no reference
// count, so a release invalidates the pointer for every caller at once.
#pragma once

#include <boost/shared_ptr.hpp>

#include <string>
#include <unordered_map>
#include <utility>

#include "engine/core/errors.h"
#include "engine/core/resource/resource_id.h"
#include "engine/core/strings.h"

namespace kesh {

// Creates and frees one kind of resource.
template <class Resource>
class ResourceLoader {
public:
    virtual ~ResourceLoader() = default;
    // The new resource, or null when it cannot be made (a loader may return a fallback).
    virtual Resource* load(const ResourceId& id) = 0;
    // Frees what load returned; the reference is the pointer the cache stored.
    virtual void release(Resource*& resource) = 0;
};

template <class Resource>
class ResourceCache {
public:
    typedef ResourceLoader<Resource> Loader;

    explicit ResourceCache(boost::shared_ptr<Loader> loader) : loader_(std::move(loader)) {}
    virtual ~ResourceCache() { releaseAll(); }
    ResourceCache(const ResourceCache&) = delete;
    ResourceCache& operator=(const ResourceCache&) = delete;

    // The cached resource, loaded on first use. Throws std::runtime_error
    // "Failed to fetch resource: <id>" when the loader gives null; nothing is cached then, so
    // the next fetch tries again.
    virtual Resource* fetch(const ResourceId& id) {
        const auto found = entries_.find(id.id);
        if (found != entries_.end()) {
            return found->second;
        }
        Resource* resource = loader_->load(id);
        if (!resource) {
            throwRuntimeError(L"Failed to fetch resource: " + toWide(id.id));
        }
        entries_.emplace(id.id, resource);
        return resource;
    }

    // Frees one entry; an identifier that is not cached is ignored.
    virtual void release(const ResourceId& id) {
        const auto found = entries_.find(id.id);
        if (found == entries_.end()) {
            return;
        }
        // The entry leaves the map before the loader runs, so a loader that throws cannot
        // leave a dangling pointer behind.
        Resource* resource = found->second;
        entries_.erase(found);
        loader_->release(resource);
    }

    virtual void releaseAll() {
        while (!entries_.empty()) {
            const auto first = entries_.begin();
            Resource* resource = first->second;
            entries_.erase(first);
            loader_->release(resource);
        }
    }

    std::size_t size() const { return entries_.size(); }

private:
    std::unordered_map<std::string, Resource*, ResourceNameHash> entries_;
    boost::shared_ptr<Loader> loader_;
};

}  // namespace kesh
