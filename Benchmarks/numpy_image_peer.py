"""The CPU peer of ImageProcessorBenchmark: the same image operations as its processor graph,
written as a careful numpy user would: float32 arrays, operations in place, and the image
processed in blocks of rows small enough that every intermediate stays in the CPU's cache
(numpy's whole-image passes would otherwise stream each temporary through memory).

    tinted = image * colour            (colorize, alpha kept)
    mask   = mask_image[..., red]      (swizzle R, R, R, 1)
    result = image + (tinted - image) * mask, saturated, as 8-bit

Prints one line per timed iteration: the seconds it took.
"""

import argparse
import time

import numpy as np

# 16 rows of 4096 RGBA float32 texels are 1 MiB per intermediate: they fit the L2 cache.
BLOCK_BYTES = 1 << 20


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--size", type=int, default=4096)
    parser.add_argument("--iterations", type=int, default=5)
    arguments = parser.parse_args()

    size = arguments.size
    generator = np.random.default_rng(7)
    source = generator.integers(0, 256, size=(size, size, 4), dtype=np.uint8)
    mask_source = generator.integers(0, 256, size=(size, size, 4), dtype=np.uint8)
    colour = np.array([1.0, 0.5, 0.25, 1.0], dtype=np.float32)

    rows = max(1, BLOCK_BYTES // (size * 4 * 4))
    image = np.empty((rows, size, 4), dtype=np.float32)
    tinted = np.empty_like(image)
    mask = np.empty((rows, size, 1), dtype=np.float32)
    output = np.empty((size, size, 4), dtype=np.uint8)

    def run_block(first, last):
        count = last - first
        block, block_tinted, block_mask = image[:count], tinted[:count], mask[:count]
        np.multiply(source[first:last], np.float32(1.0 / 255.0), out=block)
        np.multiply(block, colour, out=block_tinted)
        block_tinted[..., 3] = block[..., 3]
        np.multiply(mask_source[first:last, :, 0:1], np.float32(1.0 / 255.0), out=block_mask)
        np.subtract(block_tinted, block, out=block_tinted)
        np.multiply(block_tinted, block_mask, out=block_tinted)
        np.add(block, block_tinted, out=block)
        np.clip(block, 0.0, 1.0, out=block)
        np.multiply(block, np.float32(255.0), out=block)
        np.rint(block, out=block)
        output[first:last] = block

    def run():
        for first in range(0, size, rows):
            run_block(first, min(size, first + rows))

    run()
    for _ in range(arguments.iterations):
        start = time.perf_counter()
        run()
        print(f"{time.perf_counter() - start:.6f}", flush=True)


if __name__ == "__main__":
    main()
