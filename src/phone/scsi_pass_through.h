#pragma once

#include "phone/control_transfer.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillon {

using ScsiCdb = std::array<std::uint8_t, 12>;

struct ScsiResult {
    ExchangeOutcome outcome = ExchangeOutcome::Error; // did the command reach the device
    int errorCode = 0;                                // errno value (EPERM without CAP_SYS_RAWIO)
    std::uint8_t scsiStatus = 0;
    std::vector<std::uint8_t> sense;
};

// An open disk that takes SCSI commands through the pass-through (the Linux backend uses
// sg3_utils sg_pt on the block device).
class ScsiDisk {
public:
    // Closes the descriptor quietly when Close was not called or failed.
    virtual ~ScsiDisk() = default;
    // One command without a data phase.
    virtual ScsiResult SendCommand(const ScsiCdb& cdb, std::chrono::milliseconds timeout) = 0;
    // 0 or an errno value. After 0 the disk must not be used again.
    virtual int Close() = 0;
};

class ScsiDriver {
public:
    virtual ~ScsiDriver() = default;
    // Null on failure, with `error` set to an errno value.
    virtual std::unique_ptr<ScsiDisk> Open(const std::string& devicePath, int& error) = 0;
};

} // namespace quillon
