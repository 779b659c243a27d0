#include "run_in_folder.h"

#include <sched.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>

namespace wf::py {
namespace {

// Taken by the runs that share the process's working directory.
std::mutex& sharedFolderLock() {
    static std::mutex lock;
    return lock;
}

void enter(const std::filesystem::path& folder) {
    if (::chdir(folder.c_str()) != 0)
        throw std::runtime_error("Cannot enter the project folder " + folder.string() + " (" +
                                 std::strerror(errno) + ")");
}

// On the run thread: the thread's own working directory, or false when the
// system does not give one (or WELLFIT_SHARED_FOLDER is set, which makes the
// runs of the process take turns in its one working directory).
bool leaveSharedFolder() {
    const char* shared = std::getenv("WELLFIT_SHARED_FOLDER");
    if (shared != nullptr && *shared != '\0') return false;
    return ::unshare(CLONE_FS) == 0;
}

} // namespace

void runInFolder(const std::filesystem::path& folder, const std::function<void()>& work,
                 const std::function<void()>& whileWaiting) {
    std::exception_ptr failure;
    std::mutex doneLock;
    std::condition_variable doneSignal;
    bool done = false;
    auto finish = [&] {
        std::lock_guard<std::mutex> hold(doneLock);
        done = true;
        doneSignal.notify_all();
    };
    std::thread thread([&] {
        struct Finish {
            std::function<void()> f;
            ~Finish() { f(); }
        } finishOnExit{finish};
        try {
            if (leaveSharedFolder()) {
                enter(folder);
                work();
                return;
            }
            std::lock_guard<std::mutex> hold(sharedFolderLock());
            const std::filesystem::path before = std::filesystem::current_path();
            enter(folder);
            try {
                work();
            } catch (...) {
                std::error_code ignored;
                std::filesystem::current_path(before, ignored);
                throw;
            }
            enter(before);
        } catch (...) {
            failure = std::current_exception();
        }
    });
    {
        std::unique_lock<std::mutex> hold(doneLock);
        while (!doneSignal.wait_for(hold, std::chrono::milliseconds(100), [&] { return done; }))
            if (whileWaiting) {
                hold.unlock();
                whileWaiting();
                hold.lock();
            }
    }
    thread.join();
    if (failure) std::rethrow_exception(failure);
}

bool runsInParallel() {
    static const bool own = [] {
        bool result = false;
        std::thread probe([&] { result = leaveSharedFolder(); });
        probe.join();
        return result;
    }();
    return own;
}

} // namespace wf::py
