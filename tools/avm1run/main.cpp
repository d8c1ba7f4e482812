// avm1run: runs a movie's scripts for some frames without drawing it and
// prints what they trace, or lists its bytecode.
//   avm1run MOVIE.swf [FRAMES]
//   avm1run --disassemble MOVIE.swf
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "flash/swf/error.h"
#include "flash/swf/read.h"
#include "tools/avm1run/disassembler.h"
#include "tools/avm1run/timeline_host.h"

namespace {

void listActions(const std::vector<swf::Tag>& tags, int version, const std::string& where) {
    int frame = 1;
    for (const swf::Tag& tag : tags) {
        if (tag.get<swf::ShowFrame>()) ++frame;
        if (const auto* a = tag.get<swf::DoAction>()) {
            std::cout << "== " << where << " frame " << frame << " DoAction\n" << kinolux::avm1run::disassemble(a->actions, version);
        } else if (const auto* i = tag.get<swf::DoInitAction>()) {
            std::cout << "== DoInitAction for sprite " << i->spriteId << "\n" << kinolux::avm1run::disassemble(i->actions, version);
        } else if (const auto* s = tag.get<swf::DefineSprite>()) {
            listActions(s->tags, version, "sprite " + std::to_string(s->id));
        } else if (const auto* p = tag.get<swf::PlaceObject>(); p && p->clipActions) {
            for (const auto& c : *p->clipActions) {
                std::cout << "== " << where << " frame " << frame << " clip events 0x" << std::hex << c.events << std::dec
                          << " at depth " << p->depth << "\n" << kinolux::avm1run::disassemble(c.actions, version);
            }
        } else if (const auto* b = tag.get<swf::DefineButton>()) {
            for (const auto& c : b->actions) {
                std::cout << "== button " << b->id << " conditions 0x" << std::hex << c.conditions << std::dec << "\n"
                          << kinolux::avm1run::disassemble(c.actions, version);
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    bool listing = argc == 3 && std::string(argv[1]) == "--disassemble";
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: avm1run MOVIE.swf [FRAMES]\n       avm1run --disassemble MOVIE.swf\n");
        return 2;
    }
    const char* path = listing ? argv[2] : argv[1];
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "avm1run: cannot open %s\n", path);
        return 1;
    }
    std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (listing) {
        try {
            swf::Movie movie = swf::readMovie(file);
            listActions(movie.tags, movie.header.version, "root");
        } catch (const swf::Error& e) {
            std::fprintf(stderr, "avm1run: %s\n", e.what());
            return 1;
        }
        return 0;
    }
    int frames = argc == 3 ? std::atoi(argv[2]) : 1;
    if (frames < 0 || frames > 1000000) {
        std::fprintf(stderr, "avm1run: bad frame count %s\n", argv[2]);
        return 2;
    }
    try {
        std::string folder = std::filesystem::path(path).parent_path().string();
        kinolux::avm1run::TimelineHost host(std::move(file), {}, kinolux::avm1run::filesIn(folder.empty() ? "." : folder));
        for (int i = 0; i < frames; ++i) host.runFrame();
        for (const std::string& line : host.traces()) std::cout << line << '\n';
        for (const std::string& error : host.errors()) std::cerr << "avm1run: " << error << '\n';
    } catch (const swf::Error& e) {
        std::fprintf(stderr, "avm1run: %s\n", e.what());
        return 1;
    }
    return 0;
}
