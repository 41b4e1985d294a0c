// The demo-archive tool. Its generator is being written; until then the
// program says so and fails, so that no caller mistakes it for a success.
#include <cstdio>

int main()
{
    std::fputs("zepDemoArchive: generator not available yet\n", stderr);
    return 1;
}
