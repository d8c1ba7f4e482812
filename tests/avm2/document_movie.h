// Movies whose document class is hand-built ABC: class Doc (or another
// name) extends
// flash.display.MovieClip (dynamic, so instance names land on it), its
// constructor's code and methods of its own.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tests/avm2/machine.h"
#include "tests/flash/test_movies.h"

namespace avm2test {

struct DocMethod {
    std::string name;
    Code code;  // runs after getlocal0; pushscope, and returns void after
    std::uint32_t params = 0;
};

// A method `name`(e) that traces e.type + " " + e.<path...>.
inline DocMethod tracingEvent(AbcBuilder& abc, const char* name, std::initializer_list<const char*> path) {
    Code code;
    traced(code, abc, [&](Code& c) {
        c.op(op::GetLocal1).op(op::GetProperty, abc.name("type")).op(op::PushString, abc.string(" ")).op(op::Add);
        c.op(op::GetLocal1);
        for (const char* step : path) c.op(op::GetProperty, abc.name(step));
        c.op(op::Add);
    });
    return {name, code, 1};
}

// The body of a DoABC2 tag (lazy, unnamed) whose script defines the one
// class of `abc`: `name` extends `base`, is built by `init` (the whole
// method body) and has the instance traits `traits`.
inline std::vector<std::uint8_t> classAbc(AbcBuilder& abc, std::uint32_t name, std::uint32_t base, const Code& init,
                                          std::vector<Trait> traits = {}) {
    std::uint32_t initMethod = abc.method(), cinit = abc.method();
    abc.body(initMethod, init);
    abc.body(cinit, Code().op(op::ReturnVoid));
    abc.addClass(name, base, initMethod, cinit, std::move(traits));
    Code script;
    script.op(op::GetScopeObject).u8(0).op(op::GetLex, base).op(op::NewClass, 0).op(op::InitProperty, name);
    scriptOf(abc, script, {{name, 4, 1, 0}});
    std::vector<std::uint8_t> tag{1, 0, 0, 0, 0};
    auto bytes = abc.bytes();
    tag.insert(tag.end(), bytes.begin(), bytes.end());
    return tag;
}

// The body of a DoABC2 tag defining Doc; its constructor calls super() and
// then runs `constructor`.
inline std::vector<std::uint8_t> documentAbc(AbcBuilder& abc, const Code& constructor,
                                             const std::vector<DocMethod>& methods = {},
                                             const std::string& className = "Doc") {
    Code init;
    init.op(op::GetLocal0).op(op::PushScope).op(op::GetLocal0).op(op::ConstructSuper, 0);
    init.append(constructor);
    init.op(op::ReturnVoid);
    std::vector<Trait> traits;
    for (const DocMethod& m : methods) {
        Code code;
        code.op(op::GetLocal0).op(op::PushScope);
        code.append(m.code);
        code.op(op::ReturnVoid);
        std::uint32_t method = abc.method(m.params);
        abc.body(method, code);
        traits.push_back({abc.name(m.name), 1, 0, method});
    }
    return classAbc(abc, abc.name(className), abc.name("flash.display", "MovieClip"), init, std::move(traits));
}

// A movie of `frames` frames running Doc; `firstFrame` holds the definitions
// and placements of frame 1.
inline std::vector<std::uint8_t> documentMovie(const std::vector<std::uint8_t>& doAbc,
                                               std::vector<swf::Tag> firstFrame = {}, int width = 100,
                                               int height = 100, int frames = 1,
                                               const std::string& className = "Doc") {
    std::vector<swf::Tag> tags{swf::FileAttributes{swf::FileAttribute::ActionScript3}};
    for (auto& t : firstFrame) tags.push_back(std::move(t));
    tags.push_back(swf::DoAbc{swf::Bytes(doAbc)});
    tags.push_back(swf::SymbolClass{{{0, className}}});
    for (int i = 0; i < frames; ++i) tags.push_back(swf::ShowFrame{});
    return testmovies::movie(tags, testmovies::header(width, height, frames));
}

// local = new Sprite() named `name`.
inline void newSprite(Code& code, AbcBuilder& abc, std::uint8_t local, const char* name) {
    std::uint32_t sprite = abc.name("flash.display", "Sprite");
    code.op(op::FindPropStrict, sprite).op(op::ConstructProp, sprite, 0).op(op::SetLocal, local);
    code.op(op::GetLocal, local).op(op::PushString, abc.string(name)).op(op::SetProperty, abc.name("name"));
}

// local.graphics fills a square `size` pixels wide at its origin in `rgb`
// (at `alpha` when there is one).
inline void fillSquare(Code& code, AbcBuilder& abc, std::uint8_t local, std::uint32_t rgb, std::uint8_t size,
                       std::optional<double> alpha = std::nullopt) {
    code.op(op::GetLocal, local).op(op::GetProperty, abc.name("graphics")).op(op::Dup);
    code.op(op::PushInt, abc.integer(std::int32_t(rgb)));
    if (alpha) code.op(op::PushDouble, abc.number(*alpha));
    code.op(op::CallPropVoid, abc.name("beginFill"), alpha ? 2 : 1);
    for (std::uint8_t v : {std::uint8_t(0), std::uint8_t(0), size, size}) code.op(op::PushByte).u8(v);
    code.op(op::CallPropVoid, abc.name("drawRect"), 4);
}

// Code calling a method of `this` with arguments pushed by `push`.
template <class Push>
Code& callOnThis(Code& code, AbcBuilder& abc, const std::string& method, std::uint32_t count, Push push) {
    code.op(op::GetLocal0);
    push(code);
    return code.op(op::CallPropVoid, abc.name(method), count);
}

}  // namespace avm2test
