#pragma once

#include <sys/types.h>
#include <optional>
#include <string>

namespace zemvalkorta {

// The user database's entry of an account (login name and home folder).
struct UserAccount {
    std::string Name;
    std::string Home;
};

// Read with getpwuid_r, so that threads may look accounts up at the same time.
std::optional<UserAccount> FindUserAccount(uid_t uid);

}  // namespace zemvalkorta
