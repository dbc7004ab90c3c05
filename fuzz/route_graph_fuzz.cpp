// Feeds arbitrary bytes to the route graph reader: whatever comes in, it must
// give a graph or a reason, never crash or read astray; and a graph it gives
// must be safe to route on and to write again.
#include "GraphFormat.h"
#include "Router.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray blob(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Result<StreetGraph> graph = readGraphFile(blob);
    if (!graph.ok())
        return 0;
    if (!readGraphFile(writeGraphFile(graph.value())).ok())
        __builtin_trap();
    Router router(std::move(graph).value());
    const StreetGraph& loaded = router.graph();
    if (!loaded.nodes.empty()) {
        const MapPoint from = loaded.nodes.front();
        const MapPoint to = loaded.nodes.back();
        for (const TravelMode mode : {TravelMode::Foot, TravelMode::Car})
            if (const std::optional<Route> route = router.route(from, to, mode); route && !(route->length >= 0))
                __builtin_trap();
    }
    return 0;
}
