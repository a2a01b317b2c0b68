#include "zqcrypt_process.h"

#include <utility>

namespace testsupport {
namespace {

[[nodiscard]] ChildProgram Zqcrypt(const std::vector<std::string>& arguments, const std::optional<std::string>& key,
                                   const std::optional<std::size_t>& address_space_kib,
                                   const std::optional<std::string>& working_dir) {
    ChildProgram child{.program = ZqcryptPath(),
                       .arguments = arguments,
                       .environment = {"LC_ALL=C.UTF-8", "PATH=/usr/bin:/bin"},
                       .working_dir = working_dir,
                       .address_space_kib = address_space_kib,
                       .own_process_group = false};
    if (key) {
        child.environment.push_back("ZQ_KEY=" + *key);
    }
    return child;
}

}  // namespace

std::filesystem::path ZqcryptPath() {
    return ZQCRYPT_PATH;
}

ProcessResult RunZqcrypt(const ProcessRequest& request) {
    return RunChild(Zqcrypt(request.arguments, request.key, request.address_space_kib, request.working_dir), request);
}

ProcessResult RunZqcrypt(std::vector<std::string> arguments, std::optional<std::string> key, std::string input) {
    return RunZqcrypt(Request(std::move(arguments), std::move(key), std::move(input)));
}

pid_t StartZqcrypt(const std::vector<std::string>& arguments, const std::optional<std::string>& key, int in, int out,
                   int err, const std::optional<std::size_t>& address_space_kib,
                   const std::optional<std::string>& working_dir, bool own_process_group) {
    ChildProgram child = Zqcrypt(arguments, key, address_space_kib, working_dir);
    child.own_process_group = own_process_group;
    return StartChild(child, in, out, err);
}

}  // namespace testsupport
