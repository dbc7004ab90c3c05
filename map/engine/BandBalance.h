// Where to cut a frame into bands, one per thread, so that the threads end
// together. Equal bands do not: the rows of a street-level frame where the
// wide roads and the station lie may take half as long again as those of
// a park, and the calling thread starts on its band only after placing the
// labels. Successive frames of a map show nearly the same rows: what each
// band took in the frame before tells where the work lies in the next.
#pragma once

#include <vector>

class BandBalance {
public:
    // The first row of each band, then the end of the last: bands + 1
    // rows from top to top + height. Equal bands where nothing is known of
    // the frame before, or that frame had other rows or bands.
    std::vector<int> cuts(int top, int height, int bands) const;

    // What each band of the last cuts took: how long after the frame's
    // start its drawing began, and how long it took, in any unit.
    struct BandTime {
        double start = 0;
        double drawing = 0;
    };
    void learn(const std::vector<int>& cuts, const std::vector<BandTime>& times);

private:
    std::vector<int> cuts_;
    std::vector<BandTime> times_;
};
