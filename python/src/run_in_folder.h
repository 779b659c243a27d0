// A solver run whose side files live in one project folder, on a thread of
// its own.
//
// The solver addresses its side files by bare names in the working directory.
// The working directory belongs to the whole process, so two projects fitted
// at once from two threads would read each other's files. Each run therefore
// gets a native thread that first leaves the process's shared file-system
// attributes (Linux unshare(CLONE_FS)) and then enters the project folder:
// the folder is that thread's alone, and the caller's working directory never
// changes. Threads the run starts (the fine model's derivative runs) share
// the run thread's folder.
//
// Where the system refuses unshare, runs fall back to taking one process-wide
// lock, entering the folder for the whole process and going back afterwards:
// still correct, but runs are then made one at a time. Setting the
// environment variable WELLFIT_SHARED_FOLDER chooses that way on any system.
#pragma once

#include <filesystem>
#include <functional>

namespace wf::py {

// Runs work on a new thread whose working directory is folder, and waits for
// it, calling whileWaiting (when given) on the caller's thread about ten times
// a second meanwhile (the Python caller looks for Ctrl+C there). An exception
// of work (or a folder that cannot be entered, as std::runtime_error naming
// it) is thrown again on the caller's thread.
void runInFolder(const std::filesystem::path& folder, const std::function<void()>& work,
                 const std::function<void()>& whileWaiting = {});

// Whether runs of different projects can go on at the same time (each run
// thread has a working directory of its own).
bool runsInParallel();

} // namespace wf::py
