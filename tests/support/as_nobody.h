#pragma once

#include <unistd.h>

// Runs the enclosed code with the effective user "nobody" when the test
// runs as root (as CI does), so a file without read permission really
// cannot be read; elsewhere the permission alone does it.
class AsNobody {
public:
    AsNobody() : switched_(::geteuid() == 0 && ::setegid(kNobody) == 0 && ::seteuid(kNobody) == 0) {}
    ~AsNobody()
    {
        if (switched_) {
            [[maybe_unused]] const int user = ::seteuid(0);
            [[maybe_unused]] const int group = ::setegid(0);
        }
    }
    AsNobody(const AsNobody&) = delete;
    AsNobody& operator=(const AsNobody&) = delete;

private:
    static constexpr uid_t kNobody = 65534;
    bool switched_;
};
