#!/usr/bin/python3
# The files of bench_card's card, in the folders a camera makes, of random bytes from /dev/urandom:
#   photos/  about 1 GiB in 200 files: 189 stills of 3-8 MB (most near 3 MB) and 10 films of about 40 MB in
#            DCIM/100CANON and DCIM/101CANON, numbered together as a camera numbers them, and MISC/AUTPRINT.MRK
#   small/   20,000 files of 24 KiB in DCIM/100MSDCF to DCIM/119MSDCF, 1000 to a folder
# The sizes come from a fixed seed: every card made is the same but for its bytes. Written into SOURCE.new, which
# becomes SOURCE only when whole, so that a card cut short is made again.
#   make_card_source.py SOURCE
import os
import random
import shutil
import sys

PHOTOS_NUMBERED = 199  # stills and films; the print order in MISC is the 200th file
FILM_EVERY = 20        # every 20th number, from the 10th, is a film
SMALL_FILES, SMALL_SIZE, SMALL_PER_FOLDER = 20_000, 24 << 10, 1000


def photos(rng):
    """(path, size) of the pictures and films."""
    for number in range(1, PHOTOS_NUMBERED + 1):
        folder = 'photos/DCIM/100CANON' if number <= 100 else 'photos/DCIM/101CANON'
        if number % FILM_EVERY == FILM_EVERY // 2:
            yield f'{folder}/MVI_{number:04d}.MP4', rng.randrange(38_000_000, 42_000_000)
        else:
            yield f'{folder}/IMG_{number:04d}.JPG', 3_000_000 + int(5_000_000 * rng.random() ** 7)
    yield 'photos/MISC/AUTPRINT.MRK', 512


def small():
    """(path, size) of the small files."""
    for index in range(SMALL_FILES):
        folder = f'small/DCIM/{100 + index // SMALL_PER_FOLDER}MSDCF'
        yield f'{folder}/DSC{index + 1:05d}.JPG', SMALL_SIZE


def main():
    source = sys.argv[1]
    building = source + '.new'
    shutil.rmtree(building, ignore_errors=True)
    with open('/dev/urandom', 'rb') as randomness:  # buffered: read(n) gathers n bytes over several reads
        for path, size in [*photos(random.Random(2027)), *small()]:
            target = os.path.join(building, path)
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(target, 'wb') as out:
                out.write(randomness.read(size))
    shutil.rmtree(source, ignore_errors=True)
    os.rename(building, source)


if __name__ == '__main__':
    main()
