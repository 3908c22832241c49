#!/usr/bin/python3
# The emulated card (card_emulator.py) itself, through a real mount: what it counts, how fast it reads, each of its
# faults, and that it leaves no mount behind.
import errno
import os
import subprocess
import sys
import tempfile
import threading
import time
import unittest

EMULATOR = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'card_emulator.py')
SCRIPTS_SIDE = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'card_emulator.sh')
PHOTO = '/DCIM/IMG_1.JPG'
PHOTO_SIZE = 3 << 20
BIG = '/BIG.MTS'
BIG_SIZE = 20_000_000


def emulator(*arguments, env=None):
    return subprocess.run([sys.executable, EMULATOR, *arguments], capture_output=True, text=True, env=env)


class Card:
    """A card mounted for one test, with the emulator's options `options`; unmounted when the test ends."""

    def __init__(self, test, *options):
        self.work = tempfile.mkdtemp(prefix='card-emulator-test-')
        test.addCleanup(subprocess.run, ['rm', '-rf', self.work])
        self.source, self.mount, self.control = (os.path.join(self.work, n) for n in ('source', 'mount', 'control'))
        os.makedirs(self.source + '/DCIM')
        os.makedirs(self.mount)
        self.photo = os.urandom(PHOTO_SIZE)
        with open(self.source + PHOTO, 'wb') as out:
            out.write(self.photo)
        with open(self.source + BIG, 'wb') as out:
            out.write(os.urandom(BIG_SIZE))
        started = emulator('mount', self.source, self.mount, self.control, *options)
        test.assertEqual(started.returncode, 0, started.stderr)
        test.addCleanup(self.unmount, test)

    def unmount(self, test):
        stopped = emulator('unmount', self.mount, self.control)
        test.assertEqual(stopped.returncode, 0, stopped.stderr)
        test.assertFalse(mounted(self.mount), 'a mount was left behind')

    def read(self, path, offset=0, size=None):
        with open(self.mount + path, 'rb', buffering=0) as card:
            card.seek(offset)
            return card.read(size) if size is not None else card.read()

    def counters(self):
        """The bytes read of each file read, and in all under 'total'."""
        counts = {'total': 0}
        with open(os.path.join(self.control, 'counters')) as text:
            for count, path in (line.rstrip('\n').split('\t') for line in text):
                counts[path] = counts.get(path, 0) + int(count)
                counts['total'] += int(count)
        return counts

    def touch(self, name):
        open(os.path.join(self.control, name), 'w').close()


def card_bytes_read(control, path=''):
    """What the scripts' card_bytes_read says of the control folder `control`."""
    told = subprocess.run(['bash', '-c', 'source "$1"; card_bytes_read "$2" "$3"', '_', SCRIPTS_SIDE, control, path],
                          capture_output=True, text=True, check=True)
    return told.stdout.strip()


def mounted(path):
    with open('/proc/mounts') as mounts:
        return any(line.split()[1] == os.path.realpath(path) for line in mounts)


class CardEmulatorTest(unittest.TestCase):
    def test_counts_every_read_per_file_and_in_total(self):
        card = Card(self)
        for reads, expected in [(1, PHOTO_SIZE), (2, 2 * PHOTO_SIZE)]:
            with self.subTest(reads=reads):
                card.read(PHOTO)
                self.assertEqual(card.counters(), {'total': expected, PHOTO: expected})
        card.read(BIG, 4096, 4096)
        self.assertEqual(card.counters(), {'total': 2 * PHOTO_SIZE + 4096, PHOTO: 2 * PHOTO_SIZE, BIG: 4096})

    def test_the_scripts_sum_the_counters_whole(self):
        card = Card(self)
        card.read(PHOTO)
        card.read(BIG, 0, 8192)
        read = card.counters()
        for path in ('', PHOTO, BIG, '/DCIM/IMG_2.JPG'):
            with self.subTest(path=path):
                self.assertEqual(card_bytes_read(card.control, path), str(read.get(path or 'total', 0)))
        # Past 2^31 bytes, as the copies of a large card read: whole numbers, not 4e+09.
        with open(os.path.join(card.control, 'counters'), 'w') as counters:
            counters.write(f'2000000000\t{BIG}\n2000000001\t{PHOTO}\n2000000000\t{BIG}\n')
        for path, expected in [('', '6000000001'), (BIG, '4000000000'), (PHOTO, '2000000001')]:
            with self.subTest(path=path, past_2_gib=True):
                self.assertEqual(card_bytes_read(card.control, path), expected)

    def test_reads_at_its_rate_all_files_together(self):
        card = Card(self, '--rate', '20')
        start = time.monotonic()
        self.assertEqual(len(card.read(BIG)), BIG_SIZE)
        # Never faster than the rate; slower by what a busy machine costs the server.
        self.assertGreaterEqual(time.monotonic() - start, 0.95)
        self.assertLess(time.monotonic() - start, 1.5)
        # Two readers at once share the one reader's rate.
        readers = [threading.Thread(target=card.read, args=(path, 0, size))
                   for path, size in [(BIG, 10_000_000), (PHOTO, None)]]
        start = time.monotonic()
        for reader in readers:
            reader.start()
        for reader in readers:
            reader.join()
        self.assertGreaterEqual(time.monotonic() - start, (10_000_000 + PHOTO_SIZE) / 20e6 * 0.9)

    def test_faults_hit_the_reads_that_cover_their_byte(self):
        cases = [
            # option, the reads (offset, size) of the photo, and what each must give: 'true', 'flipped' or an errno
            ('--flaky', '%s@5000' % PHOTO, [(0, 8192), (4096, 4096), (0, 4096), (4096, 4096)],
             ['true', 'flipped', 'true', 'flipped']),
            ('--bad', '%s@70000' % PHOTO, [(0, 65536), (65536, 65536), (131072, 4096)], ['true', errno.EIO, 'true']),
            ('--bad', '%s@70000#2' % PHOTO, [(69632, 4096), (69632, 4096)], ['true', errno.EIO]),
        ]
        for option, fault, reads, outcomes in cases:
            with self.subTest(fault=option + ' ' + fault):
                card = Card(self, option, fault)
                for (offset, size), outcome in zip(reads, outcomes):
                    if outcome in ('true', 'flipped'):
                        got = card.read(PHOTO, offset, size)
                        true = card.photo[offset:offset + size]
                        self.assertEqual(got == true, outcome == 'true', (offset, size))
                        if outcome == 'flipped':  # that one byte alone
                            self.assertEqual([i for i in range(size) if got[i] != true[i]], [5000 - offset])
                    else:
                        with self.assertRaises(OSError) as failure:
                            card.read(PHOTO, offset, size)
                        self.assertEqual(failure.exception.errno, outcome)

    def test_a_pulled_card_fails_every_operation_but_the_look_ups_of_names_kept(self):
        for options, look_up in [((), errno.ENODEV), (('--keep-names', '60'), None)]:
            with self.subTest(options=options):
                card = Card(self, *options)
                with open(card.mount + PHOTO, 'rb', buffering=0) as opened:
                    opened.read(4096)
                    card.touch('pulled')
                    operations = [('read of an open file', lambda: opened.read(4096), errno.EIO),
                                  ('open', lambda: card.read(BIG), errno.ENODEV),
                                  ('listing', lambda: os.listdir(card.mount + '/DCIM'), errno.ENODEV),
                                  ('look-up', lambda: os.stat(card.mount + PHOTO), look_up)]
                    for name, operation, expected in operations:
                        with self.subTest(operation=name):
                            if expected is None:
                                self.assertEqual(operation().st_size, PHOTO_SIZE)
                                continue
                            with self.assertRaises(OSError) as failure:
                                operation()
                            self.assertEqual(failure.exception.errno, expected)

    def test_a_held_read_waits_for_its_release(self):
        card = Card(self, '--hold', '%s@0#2' % PHOTO)
        self.assertEqual(card.read(PHOTO, 0, 4096), card.photo[:4096])
        got = []
        reader = threading.Thread(target=lambda: got.append(card.read(PHOTO, 0, 4096)))
        reader.start()
        reader.join(0.5)
        self.assertTrue(reader.is_alive(), 'the second read was not held')
        self.assertTrue(os.path.exists(os.path.join(card.control, 'held')))
        card.touch('release')
        reader.join(2)
        self.assertEqual(got, [card.photo[:4096]])

    def test_unmount_ends_a_held_read_and_leaves_no_mount(self):
        card = Card(self, '--hold', '%s@0' % PHOTO)
        reader = threading.Thread(target=lambda: card.read(PHOTO, 0, 4096), daemon=True)
        reader.start()
        time.sleep(0.3)
        card.unmount(self)  # checks /proc/mounts
        reader.join(5)
        self.assertFalse(reader.is_alive())

    def test_the_card_is_read_only(self):
        card = Card(self)
        with self.assertRaises(OSError) as failure:
            open(card.mount + PHOTO, 'r+b')
        self.assertIn(failure.exception.errno, (errno.EROFS, errno.EACCES))

    def test_a_machine_without_fuse_is_told_so(self):
        work = tempfile.mkdtemp(prefix='card-emulator-test-')
        self.addCleanup(subprocess.run, ['rm', '-rf', work])
        started = emulator('mount', work, work, work + '/control',
                           env=dict(os.environ, CARD_EMULATOR_FUSE_DEVICE='/nonexistent/fuse'))
        self.assertEqual(started.returncode, 1)
        self.assertIn('no /nonexistent/fuse', started.stderr)


if __name__ == '__main__':
    unittest.main()
