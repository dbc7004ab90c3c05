// Lines that meet end to end, chained into longer ones. A street is stored
// as many pieces, split wherever another street joins it or its name or
// surface changes; stroked one by one, each piece costs a call and two
// round caps, whose rows are the dearest of a wide line, and the smoothed
// edge where two caps overlap is laid down twice.
#pragma once

#include <QPointF>

#include <functional>
#include <vector>

// A line of a chain, and whether the chain runs through it from its last
// point to its first.
struct ChainLink {
    int line = 0;
    bool reversed = false;
};

// Chains in order: chain k is links[ends[k - 1] (0 for the first), ends[k]).
struct LineChains {
    std::vector<ChainLink> links;
    std::vector<int> ends;
};

// The first and last points of a line.
struct LineEnds {
    QPointF first;
    QPointF last;
};

// Chains the lines, each taken once, where an end of one is an end of
// another and joinable says the two may be drawn as one. A chain starts at
// the first of its lines in the given order and goes on from both its
// ends, each time with the first line in that order that meets it there;
// the chains come in the order of their first lines.
LineChains ChainLines(const std::vector<LineEnds>& lines, const std::function<bool(int, int)>& joinable);
