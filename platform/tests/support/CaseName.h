#pragma once
// The names of a parameterised test's cases, for the last argument of
// INSTANTIATE_TEST_SUITE_P:
//
//     INSTANTIATE_TEST_SUITE_P(Ties, Rounding, ::testing::Values(...), CaseName());
//     // Ties/Rounding.HalfAwayFromZero/3_0_455_at_2
//
// The case's position, then what GoogleTest prints for it (its PrintTo; a
// text as itself) with every character but ASCII letters and digits left
// out between '_'. The position keeps the names unique, the text says which
// case it is; the name is one ctest shows and -R finds.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

struct CaseName {
    template <class P>
    std::string operator()(const ::testing::TestParamInfo<P> &info) const
    {
        return name(info.index, text(info.param));
    }

    static std::string name(size_t index, const std::string &text)
    {
        std::string out = std::to_string(index);
        bool gap = true;
        for (const char c : text.substr(0, 40)) {
            const bool kept = std::isalnum(static_cast<unsigned char>(c)) && static_cast<unsigned char>(c) < 128;
            if (kept && gap)
                out += '_';
            if (kept)
                out += c;
            gap = !kept;
        }
        return out;
    }

private:
    static std::string text(const char *s) { return s; }
    template <class P>
    static std::string text(const P &p)
    {
        return ::testing::PrintToString(p);
    }
};
