// batch_test_util.cpp: running mirlan-batch from the tests.
#include "batch_test_util.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace batchtest {

namespace {

// Single quotes keep every argument one word for the shell.
std::string Quoted(const std::string &word)
{
    std::string q = "'";
    for (char c : word)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

}  // namespace

std::string FileBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool Exists(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::vector<std::string> Words(const std::string &line)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

Outcome RunBatch(const std::vector<std::string> &args, const std::string &dir, bool without_display)
{
    std::string command = without_display ? "env -u DISPLAY " : "";
    command += Quoted(MIRLAN_BINARY_DIR "/batch/mirlan-batch");
    for (const std::string &a : args)
        command += " " + Quoted(a);
    const std::string out = dir + "/batch.stdout", err = dir + "/batch.stderr";
    command += " >" + Quoted(out) + " 2>" + Quoted(err);
    Outcome run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = FileBytes(out);
    run.err = FileBytes(err);
    std::remove(out.c_str());
    std::remove(err.c_str());
    return run;
}

}  // namespace batchtest
