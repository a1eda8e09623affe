// Runs the codec's fuzz target on seeded random pages, for a given time:
//   fuzz_pagecodec [--seconds N] [--seed S]
// A failure names the page and aborts; the same seed gives the same pages.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

// Pieces that make the codec choose: marks, breaks in each width, sequences
// of each length, forms that are not UTF-8, and surrogates.
const std::vector<std::string> Pieces = {
    std::string("\xEF\xBB\xBF"),
    std::string("\xFF\xFE"),
    std::string("\xFE\xFF"),
    std::string("\xFF\xFE\0\0", 4),
    std::string("\0\0\xFE\xFF", 4),
    "\r",
    "\n",
    "\r\n",
    std::string("\r\0", 2),
    std::string("\n\0", 2),
    std::string("\0\r", 2),
    std::string("\0\n", 2),
    std::string("\r\0\0\0", 4),
    std::string("\n\0\0\0", 4),
    "\xC3\xA9",
    "\xE4\xB8\xAD",
    "\xF0\x9F\x98\x80",
    "\xED\xA0\x80",
    "\xC0\xAF",
    "\xE0\x80\x80",
    "\xF4\x90\x80\x80",
    "\x80",
    "\xE9",
    "\xFF",
    "\x3D\xD8",
    "\x00\xDC",
    "\xD8\x3D\xDE\x00",
    "<p>a</p>",
    std::string("\0", 1),
};

std::string randomPage(std::mt19937_64 &random)
{
    const size_t length = random() % 8 == 0 ? random() % 2048 : random() % 48;
    std::string page;
    while (page.size() < length) {
        if (random() % 3 == 0)
            page += char(random() % 256);
        else
            page += Pieces[random() % Pieces.size()];
    }
    return page;
}

} // namespace

int main(int argc, char **argv)
{
    double seconds = 5;
    unsigned long long seed = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seconds") == 0)
            seconds = std::atof(argv[i + 1]);
        else if (std::strcmp(argv[i], "--seed") == 0)
            seed = std::strtoull(argv[i + 1], nullptr, 10);
    }
    std::mt19937_64 random(seed);
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    long long pages = 0;
    while (std::chrono::steady_clock::now() < end) {
        for (int i = 0; i < 100; ++i, ++pages) {
            const std::string page = randomPage(random);
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(page.data()), page.size());
        }
    }
    std::printf("%lld pages from seed %llu came back as they went in\n", pages, seed);
    return 0;
}
