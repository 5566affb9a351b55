// What a run leaves beside its targets while it works (the temporary and
// kept-aside files of a group's replacement, a private folder) and how a
// later run tells a dead run's leftovers from a live one's.
//
// Each leftover has a lock file beside it, which its run holds for as long
// as it needs the leftover; the system lets a lock go when its process ends,
// however it ends (a crash, a kill). A leftover is judged by that lock alone:
// one whose lock can be taken belongs to no live run, and one whose lock is
// held is never touched. The process number in the names only tells runs
// apart for a person: it means nothing to a run in another PID namespace (a
// container, a sandboxed editor) or on another host over a shared folder, and
// a number comes back once its process is gone.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>

namespace piattaforma {

// An exclusive lock on a file (flock on POSIX, LockFileEx on Windows), held
// while the object lives.
class presa_file {
public:
    enum class stato {
        tenuta,  // this object holds it
        altrui,  // another holds it: another process, or this one under another object
        senza,   // no lock to be had: a folder that cannot be written, a file system without locks
    };

    // Opens the lock file, creating it when missing, and locks it. With
    // attendi it waits while another holds the lock; without, it gives up at
    // once. A lock taken on a file that its holder removed meanwhile is let
    // go and taken again on the new file, so that the file found under that
    // name is always the one held.
    presa_file(const std::filesystem::path& file, bool attendi);
    // Removes the lock file, then lets the lock go.
    ~presa_file();
    presa_file(presa_file&& altra) noexcept;
    presa_file(const presa_file&) = delete;
    presa_file& operator=(const presa_file&) = delete;
    presa_file& operator=(presa_file&&) = delete;

    stato esito() const { return esito_; }

private:
    std::filesystem::path file_;
    std::intptr_t maniglia_ = -1;  // the system's handle of the open lock file
    stato esito_ = stato::senza;
};

namespace avanzi {

// Whether testo is a process number as the leftovers' names carry it: one to
// nineteen decimal digits. Names are read no further: the lock decides.
bool numero_processo(std::u8string_view testo);

// Runs togli when no live run holds the lock file presa, holding it
// meanwhile so that no run takes up those leftovers halfway; the lock file
// goes after. Returns whether togli ran.
bool togli_se_abbandonati(const std::filesystem::path& presa, const std::function<void()>& togli);

}  // namespace avanzi

}  // namespace piattaforma
