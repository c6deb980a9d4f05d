#pragma once
// Scratch array for raster loops: lives on the stack up to Capacity elements
// and falls back to one heap block beyond that. Sized once per call, never
// per scanline. Elements are left uninitialised.
#include <cstddef>
#include <memory>
#include <type_traits>

template <typename T, std::size_t Capacity> class TSmallBuffer {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

public:
    explicit TSmallBuffer(std::size_t size) : FSize(size) {
        if (size > Capacity) {
            FHeap = std::make_unique_for_overwrite<T[]>(size);
            FData = FHeap.get();
        }
    }
    TSmallBuffer(const TSmallBuffer&) = delete;
    TSmallBuffer& operator=(const TSmallBuffer&) = delete;

    T* Data() { return FData; }
    std::size_t Size() const { return FSize; }
    T& operator[](std::size_t i) { return FData[i]; }
    const T& operator[](std::size_t i) const { return FData[i]; }
    bool OnHeap() const { return FHeap != nullptr; }

private:
    T FLocal[Capacity];
    std::unique_ptr<T[]> FHeap;
    T* FData = FLocal;
    std::size_t FSize;
};
