// batch_test_util.h: running the mirlan-batch program from the tests and
// reading back what it wrote.
#ifndef MIRLAN_BATCH_TEST_UTIL_H
#define MIRLAN_BATCH_TEST_UTIL_H

#include <string>
#include <vector>

namespace batchtest {

// Exit status and standard streams of one run of the program.
struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// A resource limit (RLIMIT_AS, RLIMIT_FSIZE) set in the child before it runs
// the program; resource -1 for none.
struct Limit {
    int resource = -1;
    unsigned long bytes = 0;
};

// Runs mirlan-batch with args, its streams captured through files in dir;
// without_display drops DISPLAY from its environment.
Outcome RunBatch(const std::vector<std::string> &args, const std::string &dir, bool without_display = false,
                 Limit limit = {});

// The bytes of a file; empty when it cannot be read.
std::string FileBytes(const std::string &path);
bool Exists(const std::string &path);

// The words of a command line, split on spaces.
std::vector<std::string> Words(const std::string &line);

}  // namespace batchtest

#endif
