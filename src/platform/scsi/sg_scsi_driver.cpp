#include "platform/scsi/sg_scsi_driver.h"

#include "platform/posix/owned_descriptor.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <scsi/sg_pt.h>
#include <unistd.h>
#include <utility>

namespace quillon {

namespace {

constexpr int kSenseCapacity = 32;

// SG_IO counts whole seconds; a bound below one second still gets one.
int TimeoutSeconds(std::chrono::milliseconds timeout) {
    const auto seconds = std::chrono::ceil<std::chrono::seconds>(timeout).count();
    return static_cast<int>(std::clamp<long long>(seconds, 1, 0x7FFFFFFF));
}

// Owns one sg_pt request object for the length of a command.
class PassThroughRequest {
public:
    PassThroughRequest() : object_(construct_scsi_pt_obj()) {}
    PassThroughRequest(const PassThroughRequest&) = delete;
    PassThroughRequest& operator=(const PassThroughRequest&) = delete;
    ~PassThroughRequest() {
        if (object_ != nullptr) {
            destruct_scsi_pt_obj(object_);
        }
    }
    sg_pt_base* get() const { return object_; }

private:
    sg_pt_base* object_;
};

ScsiResult ResultOf(const PassThroughRequest& request, int status,
                    const std::array<std::uint8_t, kSenseCapacity>& sense) {
    ScsiResult result;
    if (status < 0) {
        result.errorCode = -status;
        return result;
    }
    if (status == SCSI_PT_DO_TIMEOUT) {
        result.outcome = ExchangeOutcome::TimedOut;
        result.errorCode = ETIMEDOUT;
        return result;
    }
    if (status != SCSI_PT_DO_START_OK) {
        result.errorCode = EINVAL;
        return result;
    }
    if (const int osError = get_scsi_pt_os_err(request.get()); osError != 0) {
        result.errorCode = osError;
        return result;
    }
    if (get_scsi_pt_result_category(request.get()) == SCSI_PT_RESULT_TRANSPORT_ERR) {
        result.errorCode = EIO;
        return result;
    }
    result.outcome = ExchangeOutcome::Ok;
    result.scsiStatus = static_cast<std::uint8_t>(get_scsi_pt_status_response(request.get()));
    const int senseLength = std::clamp(get_scsi_pt_sense_len(request.get()), 0, kSenseCapacity);
    result.sense.assign(sense.begin(), sense.begin() + senseLength);
    return result;
}

class SgScsiDisk final : public ScsiDisk {
public:
    explicit SgScsiDisk(int fd) : fd_(fd) {}

    ScsiResult SendCommand(const ScsiCdb& cdb, std::chrono::milliseconds timeout) override {
        ScsiResult result;
        if (!fd_.IsOpen()) {
            result.errorCode = EBADF;
            return result;
        }
        PassThroughRequest request;
        if (request.get() == nullptr) {
            result.errorCode = ENOMEM;
            return result;
        }
        std::array<std::uint8_t, kSenseCapacity> sense{};
        set_scsi_pt_cdb(request.get(), cdb.data(), static_cast<int>(cdb.size()));
        set_scsi_pt_sense(request.get(), sense.data(), kSenseCapacity);
        const int status = do_scsi_pt(request.get(), fd_.get(), TimeoutSeconds(timeout), 0);
        return ResultOf(request, status, sense);
    }

    int Close() override { return fd_.Close(); }

private:
    OwnedDescriptor fd_;
};

} // namespace

std::unique_ptr<ScsiDisk> SgScsiDriver::Open(const std::string& devicePath, int& error) {
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = ErrnoOr(EIO);
        return nullptr;
    }
    error = 0;
    return std::make_unique<SgScsiDisk>(fd);
}

} // namespace quillon
