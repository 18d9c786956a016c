#include "tests/support/restricted_folder.h"

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

struct Capabilities {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
};

bool SetOverride(bool on) {
    Capabilities caps;
    if (syscall(SYS_capget, &caps.header, caps.data) != 0)
        return false;
    const unsigned bit = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
    if ((caps.data[0].permitted & bit) != bit)
        return false;
    caps.data[0].effective = on ? caps.data[0].effective | bit : caps.data[0].effective & ~bit;
    return syscall(SYS_capset, &caps.header, caps.data) == 0;
}

}  // namespace

namespace test_support {

RestrictedFolder::RestrictedFolder(const QString& folder, unsigned removedBits) : folder_(folder) {
    struct stat info {};
    const QByteArray path = folder_.toLocal8Bit();
    EXPECT_EQ(stat(path.constData(), &info), 0);
    oldMode_ = info.st_mode & 07777;
    EXPECT_EQ(chmod(path.constData(), oldMode_ & ~removedBits), 0);
    capabilitiesDropped_ = SetOverride(false);
    EXPECT_TRUE(capabilitiesDropped_ || geteuid() != 0) << "root keeps passing everywhere";
}

RestrictedFolder::~RestrictedFolder() {
    if (capabilitiesDropped_) {
        EXPECT_TRUE(SetOverride(true));
    }
    EXPECT_EQ(chmod(folder_.toLocal8Bit().constData(), oldMode_), 0);
}

}  // namespace test_support
