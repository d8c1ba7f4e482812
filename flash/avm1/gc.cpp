#include "flash/avm1/gc.h"

namespace kinolux::avm1 {

GcCell::GcCell(Heap& heap) : heap_(&heap) { heap.link(this); }

GcCell::~GcCell() = default;

void GcCell::release() const {
    if (--refs_ != 0) return;
    if (heap_) {
        heap_->destroy(this);
    } else {
        delete this;  // orphan of a destroyed heap, already emptied
    }
}

Heap::Heap() = default;

Heap::~Heap() {
    std::vector<GcCell*> cells;
    cells.reserve(cellCount_);
    for (GcCell* c = first_; c; c = c->next_) cells.push_back(c);
    for (GcCell* c : cells) c->retain();
    collecting_ = true;
    for (GcCell* c : cells) c->clearReferences();
    collecting_ = false;
    for (GcCell* c : cells) {
        if (c->refs_ > 1) {
            // Still held from outside: detach so its last release frees it.
            unlink(c);
            c->heap_ = nullptr;
            --c->refs_;
        }
    }
    for (GcCell* c : cells) {
        if (c->heap_) c->release();
    }
}

void Heap::link(GcCell* cell) {
    cell->next_ = first_;
    if (first_) first_->prev_ = cell;
    first_ = cell;
    ++cellCount_;
}

void Heap::unlink(GcCell* cell) {
    if (cell->prev_) cell->prev_->next_ = cell->next_;
    else first_ = cell->next_;
    if (cell->next_) cell->next_->prev_ = cell->prev_;
    cell->prev_ = cell->next_ = nullptr;
    --cellCount_;
}

void Heap::destroy(const GcCell* cell) {
    // Freeing one cell releases its children; doing that in a loop rather
    // than by recursion keeps long chains (linked lists) off the C++ stack.
    pendingFree_.push_back(cell);
    if (freeing_) return;
    freeing_ = true;
    while (!pendingFree_.empty()) {
        GcCell* c = const_cast<GcCell*>(pendingFree_.back());
        pendingFree_.pop_back();
        unlink(c);
        delete c;
    }
    freeing_ = false;
}

void Heap::maybeCollect() {
    if (cellCount_ >= nextCollectAt_ && !collecting_) collect();
}

bool Heap::withinBudget(std::size_t budgetBytes) {
    if (estimatedBytes() <= budgetBytes) return true;
    if (!collecting_) collect();
    return estimatedBytes() <= budgetBytes;
}

void Heap::collect() {
    if (collecting_ || freeing_) return;
    collecting_ = true;

    struct Decrement final : Tracer {
        void visit(const GcCell* cell) override { --const_cast<GcCell*>(cell)->gcRefs_; }
    } decrement;
    struct Mark final : Tracer {
        std::vector<GcCell*>* work;
        void visit(const GcCell* cell) override {
            GcCell* c = const_cast<GcCell*>(cell);
            if (!c->reachable_) {
                c->reachable_ = true;
                work->push_back(c);
            }
        }
    } mark;

    for (GcCell* c = first_; c; c = c->next_) {
        c->gcRefs_ = c->refs_;
        c->reachable_ = false;
    }
    for (GcCell* c = first_; c; c = c->next_) c->trace(decrement);

    std::vector<GcCell*> work;
    mark.work = &work;
    for (GcCell* c = first_; c; c = c->next_) {
        if (c->gcRefs_ > 0 && !c->reachable_) {
            c->reachable_ = true;
            work.push_back(c);
        }
    }
    while (!work.empty()) {
        GcCell* c = work.back();
        work.pop_back();
        c->trace(mark);
    }

    std::vector<GcCell*> garbage;
    for (GcCell* c = first_; c; c = c->next_) {
        if (!c->reachable_) garbage.push_back(c);
    }
    // Hold every garbage cell while the cycles are cut, so none is freed
    // while another still points at it.
    for (GcCell* c : garbage) c->retain();
    for (GcCell* c : garbage) c->clearReferences();
    collecting_ = false;
    for (GcCell* c : garbage) c->release();

    nextCollectAt_ = cellCount_ * 2 + 20000;
}

}  // namespace kinolux::avm1
