// Files a movie asks for: movies and images loaded into clips and levels,
// variables, text for LoadVars and XML, and the movies it imports symbols
// from. They are read from the folder of the movie only (no absolute
// paths, no way up), and what a script asks for arrives after the frame
// that asked, as it would from a network.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>


namespace flash {

class DisplayObject;
class Library;
class LoadListener;
class MovieClip;
class Player;

class MovieLoader {
public:
    MovieLoader(Player& player, std::string moviePath);
    ~MovieLoader();

    // The bytes of a file beside the movie; nullopt when there is none or
    // the address leads elsewhere.
    std::optional<std::vector<std::uint8_t>> read(const std::string& url) const;
    // A movie imported from, read once; null when it cannot be read.
    const Library* importLibrary(const std::string& url);
    // A movie a script loads (from `url`, or from bytes it holds), kept as
    // long as the player runs; null with the reason in `error` when the
    // bytes are no movie or the player keeps as many movies as it may.
    std::shared_ptr<const Library> keepMovie(const std::vector<std::uint8_t>& bytes, const std::string& url,
                                             std::string* error);

    // A movie or image for a clip (or a level when target is null), and
    // who hears how it comes along (null: nobody).
    void loadMovie(std::weak_ptr<DisplayObject> target, std::optional<int> level, std::string url,
                   std::shared_ptr<LoadListener> listener);
    void unloadMovie(std::weak_ptr<DisplayObject> target, std::optional<int> level);
    void loadVariables(std::weak_ptr<DisplayObject> target, std::optional<int> level, std::string url);
    void requestText(std::uint32_t id, std::string url);
    // Hands over what was asked for since the last call: between frames.
    void deliver();
    // After a frame's scripts: tells the loaders whose movies have been
    // through their first frame (onLoadInit), the latest load first.
    void frameDone();

private:
    struct Request;
    struct AwaitingInit {
        std::weak_ptr<DisplayObject> clip;
        std::shared_ptr<LoadListener> listener;
    };
    void complete(Request& request);
    void completeMovie(Request& request);
    std::shared_ptr<const Library> parseMovie(const std::vector<std::uint8_t>& bytes, std::string* error);
    MovieClip* targetClip(Request& request);
    // The text of a file as the machine reads it (System.useCodepage
    // decides the encoding).
    std::string textOf(const std::vector<std::uint8_t>& bytes) const;

    Player& player_;
    std::string folder_;
    std::vector<std::unique_ptr<Request>> pending_;
    std::vector<AwaitingInit> awaitingInit_;
    std::vector<std::pair<std::string, std::shared_ptr<const Library>>> libraries_;
    int importDepth_ = 0;
};

}  // namespace flash
