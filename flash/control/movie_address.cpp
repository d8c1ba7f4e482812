#include "flash/control/movie_address.h"

#include <QUrl>
#include <cctype>

namespace flash {

namespace {

constexpr const char* kEmptyStageName = "null.swf";

std::string fileNameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "http:", "file:"...: letters, then a colon, before any slash.
bool hasScheme(const std::string& address)
{
    const std::size_t colon = address.find(':');
    if (colon == std::string::npos || colon < 2) return false;
    for (std::size_t i = 0; i < colon; ++i)
        if (!std::isalpha(static_cast<unsigned char>(address[i])) && !(i > 0 && address[i] == '+')) return false;
    return true;
}

}  // namespace

MovieAddress resolveMovieAddress(const std::string& address)
{
    MovieAddress where;
    if (address.empty()) return where;
    std::string path = address;
    if (hasScheme(address)) {
        const QUrl url(QString::fromStdString(address));
        if (!url.isLocalFile()) {
            where.error = "cannot fetch " + address + ": only files on this machine can be played";
            return where;
        }
        path = url.toLocalFile().toStdString();
    }
    if (fileNameOf(path) != kEmptyStageName) where.path = path;
    return where;
}

}  // namespace flash
