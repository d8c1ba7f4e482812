// Namespaces and names as the machine resolves them: a property name is a
// local name in a namespace; a multiname asks for a local name in any of a
// set of namespaces.
#pragma once

#include <string>
#include <vector>

#include "flash/avm2/abc_file.h"
#include "flash/avm2/value.h"

namespace kinolux::avm2 {

inline constexpr char16_t kAs3Namespace[] = u"http://adobe.com/AS3/2006/builtin";

struct Namespace {
    NamespaceKind kind = NamespaceKind::Package;
    String uri;
    // Private namespaces are equal only to themselves: each gets its own id.
    std::uint32_t privateId = 0;

    bool isPublic() const {
        return (kind == NamespaceKind::Package || kind == NamespaceKind::Namespace) &&
               (uri.empty() || uri == kAs3Namespace);
    }
    friend bool operator==(const Namespace& a, const Namespace& b) {
        if (a.kind == NamespaceKind::Private || b.kind == NamespaceKind::Private)
            return a.privateId == b.privateId && a.kind == b.kind;
        return a.uri == b.uri;
    }
};

struct Multiname {
    std::vector<Namespace> namespaces;
    String name;
    bool anyName = false;
    bool anyNamespace = false;  // *::name (XML lookups)
    bool attribute = false;
    // A name taken from the stack as it was: a Dictionary keys on objects.
    Value runtimeKey;

    bool matches(const Namespace& ns) const {
        for (const auto& n : namespaces)
            if (n == ns) return true;
        return false;
    }
    // Dynamic properties live in the public namespace.
    bool seesPublic() const {
        for (const auto& n : namespaces)
            if (n.isPublic()) return true;
        return false;
    }
    // How error messages name it: "ns::name" when it asks for the one
    // namespace of a script's own.
    std::string describe() const {
        if (namespaces.size() == 1 && namespaces[0].kind == NamespaceKind::Namespace && !namespaces[0].isPublic())
            return namespaces[0].uri.toUtf8() + "::" + name.toUtf8();
        return name.toUtf8();
    }
    static Multiname publicName(String name) {
        Multiname m;
        m.namespaces.push_back(Namespace{});
        m.name = std::move(name);
        return m;
    }
};

}  // namespace kinolux::avm2
