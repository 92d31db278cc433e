#pragma once

#include "phone/scsi_pass_through.h"

namespace quillon {

// Opens a phone's disk (/dev/sdX) and sends it SCSI commands through sg3_utils' pass-through
// (SG_IO). The kernel lets only a process with CAP_SYS_RAWIO send vendor commands; that
// refusal comes back as an error with EPERM.
class SgScsiDriver final : public ScsiDriver {
public:
    std::unique_ptr<ScsiDisk> Open(const std::string& devicePath, int& error) override;
};

} // namespace quillon
