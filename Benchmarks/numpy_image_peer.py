"""The CPU peer of ImageProcessorBenchmark: the same image operations as its processor graph,
written as a careful numpy user would (float32 arrays, operations in place, no temporaries
beyond the ones the graph's own results need).

    tinted = image * colour            (colorize, alpha kept)
    mask   = mask_image[..., red]      (swizzle R, R, R, 1)
    result = image + (tinted - image) * mask, saturated, as 8-bit

Prints one line per timed iteration: the seconds it took.
"""

import argparse
import time

import numpy as np


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

    image = np.empty((size, size, 4), dtype=np.float32)
    tinted = np.empty_like(image)
    mask = np.empty((size, size, 1), dtype=np.float32)
    output = np.empty((size, size, 4), dtype=np.uint8)

    def run():
        np.multiply(source, np.float32(1.0 / 255.0), out=image)
        np.multiply(image, colour, out=tinted)
        tinted[..., 3] = image[..., 3]
        np.multiply(mask_source[..., 0:1], np.float32(1.0 / 255.0), out=mask)
        np.subtract(tinted, image, out=tinted)
        np.multiply(tinted, mask, out=tinted)
        np.add(image, tinted, out=image)
        np.clip(image, 0.0, 1.0, out=image)
        np.multiply(image, np.float32(255.0), out=image)
        np.rint(image, out=image)
        output[...] = image

    run()
    for _ in range(arguments.iterations):
        start = time.perf_counter()
        run()
        print(f"{time.perf_counter() - start:.6f}", flush=True)


if __name__ == "__main__":
    main()
