// The monitor's recording as aqsinkprobe leaves it, and when each of its
// samples was heard: a sample reaches the monitor when the sink renders it
// and is heard once the sink has played what it holds ahead of it, which the
// record stream's (negative) latency tells.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ProbeRead {
    std::int64_t nanoseconds;  // monotonic, when the read returned
    std::int64_t frames;       // recorded so far, this read included
    std::int64_t latencyUs;    // the record stream's, signed
};

struct Recording {
    std::vector<float> mono;  // 44.1 kHz, full scale +-1
    std::vector<ProbeRead> reads;
};

// False when either file cannot be read or holds nothing.
bool LoadRecording(const std::string& pcmPath, const std::string& timesPath, Recording* recording);

struct HeardTime {
    double nanoseconds = 0;  // monotonic
    double spreadMs = 0;     // between the 10th and 90th percentile of the reads' estimates
};

// When frame was heard, from the reads of the half second that follows it
// (the rate of the sink's clock may differ from the system's over minutes)
// whose latency has settled; 0 nanoseconds when there are none.
HeardTime HeardAt(const Recording& recording, std::int64_t frame);
