#pragma once
// Root reads and writes through every permission; this takes that power away for a while, so
// that an unreadable file or a read-only folder behaves for a test as it does for a user.

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>

namespace pulmora::testing_support {

class WithoutRootFileAccess {
  public:
    explicit WithoutRootFileAccess(bool enabled = true) {
        if (!enabled || geteuid() != 0) return;
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        syscall(SYS_capget, &header_, saved_);
        __user_cap_data_struct reduced[2];
        std::memcpy(reduced, saved_, sizeof reduced);
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        active_ = syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~WithoutRootFileAccess() {
        if (active_) syscall(SYS_capset, &header_, saved_);
    }
    WithoutRootFileAccess(const WithoutRootFileAccess&) = delete;
    WithoutRootFileAccess& operator=(const WithoutRootFileAccess&) = delete;

  private:
    __user_cap_header_struct header_{};
    __user_cap_data_struct saved_[2]{};
    bool active_ = false;
};

} // namespace pulmora::testing_support
