#include "RoadAccess.h"

namespace {

bool isOneOf(const QString& value, std::initializer_list<const char*> values)
{
    for (const char* candidate : values)
        if (value == QLatin1String(candidate))
            return true;
    return false;
}

bool allows(const QString& value) { return isOneOf(value, {"yes", "designated", "permissive", "destination"}); }
bool forbids(const QString& value) { return isOneOf(value, {"no", "private"}); }

// Sets or clears one kind of traveller by a tag; an empty or unknown value
// leaves the earlier rule.
void apply(std::uint8_t& access, std::uint8_t who, const QString& value)
{
    if (allows(value))
        access |= who;
    else if (forbids(value))
        access &= std::uint8_t(~who);
}

} // namespace

RoadUse roadUseOf(const QString& highway, const OsmRoadTags& tags)
{
    RoadUse use;
    if (isOneOf(highway, {"pedestrian", "footway", "path", "steps", "cycleway", "bridleway"}))
        use.access = eaFoot;
    else if (isOneOf(highway, {"motorway", "motorway_link", "trunk", "trunk_link"}))
        use.access = eaCars;
    if (forbids(tags.access))
        use.access = 0;
    apply(use.access, eaFoot, tags.foot);
    apply(use.access, eaCars, tags.motorVehicle);
    const bool oneway = isOneOf(tags.oneway, {"yes", "1", "true", "-1"}) ||
                        (tags.oneway.isEmpty() && isOneOf(tags.junction, {"roundabout", "circular"})) ||
                        (tags.oneway.isEmpty() && isOneOf(highway, {"motorway", "motorway_link"}));
    if (oneway && (use.access & eaCars)) {
        use.access |= eaOneWay;
        use.reversed = tags.oneway == QLatin1String("-1");
    }
    return use;
}
