// Memory management for script objects: reference counting frees the many
// short-lived objects at once, and a cycle collector (trial deletion) frees
// the cycles that prototypes, closures and scopes create. Because every
// holder, the C++ stack included, keeps a counted reference, the collector
// needs no root list: a cell with more references than its fellow cells
// account for is held from outside and is alive, and so is all it reaches.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace kinolux::avm1 {

class GcCell;
class Heap;

// Receives each cell a cell holds a counted reference to.
class Tracer {
public:
    virtual void visit(const GcCell* cell) = 0;

protected:
    ~Tracer() = default;
};

class GcCell {
public:
    explicit GcCell(Heap& heap);
    GcCell(const GcCell&) = delete;
    GcCell& operator=(const GcCell&) = delete;
    virtual ~GcCell();

    void retain() const { ++refs_; }
    void release() const;
    Heap* heap() const { return heap_; }

protected:
    // Every counted reference this cell holds to another cell, exactly once.
    virtual void trace(Tracer& tracer) const = 0;
    // Drops every reference trace() reports; used to break garbage cycles.
    virtual void clearReferences() = 0;

private:
    friend class Heap;
    mutable std::uint32_t refs_ = 0;
    std::int64_t gcRefs_ = 0;
    bool reachable_ = false;
    Heap* heap_;
    GcCell* prev_ = nullptr;
    GcCell* next_ = nullptr;
};

// A counted reference to a cell.
template <class T>
class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) {}
    Ref(T* p) : p_(p) { if (p_) p_->retain(); }
    Ref(const Ref& o) : p_(o.p_) { if (p_) p_->retain(); }
    Ref(Ref&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
    template <class U>
    Ref(const Ref<U>& o) : p_(o.get()) { if (p_) p_->retain(); }
    ~Ref() { if (p_) p_->release(); }
    Ref& operator=(const Ref& o) {
        if (o.p_) o.p_->retain();
        T* old = p_;
        p_ = o.p_;
        if (old) old->release();
        return *this;
    }
    Ref& operator=(Ref&& o) noexcept {
        if (this != &o) {
            T* old = p_;
            p_ = o.p_;
            o.p_ = nullptr;
            if (old) old->release();
        }
        return *this;
    }
    void reset() {
        T* old = p_;
        p_ = nullptr;
        if (old) old->release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }
    friend bool operator==(const Ref& a, const Ref& b) { return a.p_ == b.p_; }
    friend bool operator==(const Ref& a, const T* b) { return a.p_ == b; }

private:
    T* p_ = nullptr;
};

class Heap {
public:
    Heap();
    Heap(const Heap&) = delete;
    Heap& operator=(const Heap&) = delete;
    // Breaks every cycle; cells still held from outside (by display objects
    // that outlive the machine) stay valid as empty husks until released.
    ~Heap();

    template <class T, class... Args>
    Ref<T> make(Args&&... args) {
        maybeCollect();
        return Ref<T>(new T(*this, std::forward<Args>(args)...));
    }

    // Frees every unreachable cycle.
    void collect();

    std::size_t cellCount() const { return cellCount_; }
    // Property slots and array elements held by all cells, for the budget.
    void addSlots(std::ptrdiff_t delta) { slots_ += delta; }
    std::size_t slotCount() const { return slots_; }
    std::size_t estimatedBytes() const { return cellCount_ * kCellBytes + slots_ * kSlotBytes; }
    // Runs a collection when that can bring the estimate back under the
    // budget; returns false when the budget is still exceeded.
    bool withinBudget(std::size_t budgetBytes);

    // What a slot really costs: its Property, the spare room of its vector,
    // its share of the hash table and, for array elements, a name string of
    // its own; with less, a budget of N bytes let the process grow to 5N.
    static constexpr std::size_t kCellBytes = 160;
    static constexpr std::size_t kSlotBytes = 160;

private:
    friend class GcCell;
    void link(GcCell* cell);
    void unlink(GcCell* cell);
    void destroy(const GcCell* cell);
    void maybeCollect();

    GcCell* first_ = nullptr;
    std::size_t cellCount_ = 0;
    std::size_t slots_ = 0;
    std::size_t nextCollectAt_ = 20000;
    bool collecting_ = false;
    bool freeing_ = false;
    std::vector<const GcCell*> pendingFree_;
};

}  // namespace kinolux::avm1
