// ResultRing: the frames whose measures are on their way back from the GPU,
// oldest first, each with the clock reading taken when it was drawn.
//
// A watching plug-in that never makes the host wait queues each frame's
// measure on the GPU and reads it frames later, once it is ready. The ring
// holds at most kSlots such frames: when every slot is in flight the frame is
// not measured at all, so nothing piles up behind a GPU that runs late or a
// host that skips frames. Slots are handed out in order, so the oldest frame
// in flight is always the first to come back.
#pragma once

#include <cstddef>
#include <cstdint>

class ResultRing
{
public:
	static constexpr std::size_t kSlots = 4;
	// The longest a watcher goes without a result: when none has come back
	// for this long while frames are in flight, it waits for the oldest.
	static constexpr float kLongestBlind = 0.25f; // seconds

	bool Empty() const { return count == 0; }
	bool Full() const { return count == kSlots; }
	// The slot the next frame is measured into; meaningful when not Full.
	std::size_t Next() const { return (first + count) % kSlots; }
	// Puts the frame drawn at drawnNs in flight in slot Next(). A ring that
	// was empty starts waiting for a result from then.
	void Push(std::int64_t drawnNs);

	// The oldest frame in flight and its clock reading; meaningful when not
	// Empty.
	std::size_t Oldest() const { return first; }
	std::int64_t OldestDrawnAt() const { return drawnAt[first]; }
	// Ends the oldest frame's flight at nowNs, its result come back; its slot
	// becomes free.
	void Pop(std::int64_t nowNs);
	// Whether frames are in flight and no result has come back for
	// kLongestBlind or longer before nowNs.
	bool Overdue(std::int64_t nowNs) const;

	// Forgets every frame in flight.
	void Clear() { first = count = 0; }

private:
	std::int64_t drawnAt[kSlots] = {};
	std::size_t first = 0;
	std::size_t count = 0;
	std::int64_t lastResult = 0; // when a result last came back, or the ring began waiting
};
