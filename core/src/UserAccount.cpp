#include "core/UserAccount.h"

#include <pwd.h>

#include <cerrno>
#include <vector>

namespace zemvalkorta {

std::optional<UserAccount> FindUserAccount(uid_t uid) {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    while (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == ERANGE && buffer.size() < (1U << 20))
        buffer.resize(buffer.size() * 2);
    if (found == nullptr) return std::nullopt;
    return UserAccount{found->pw_name != nullptr ? found->pw_name : "", found->pw_dir != nullptr ? found->pw_dir : ""};
}

}  // namespace zemvalkorta
