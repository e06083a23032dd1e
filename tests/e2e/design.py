"""The program's design as the end-to-end suites check it, written from the
design itself (never read from the program): sizes and places in
device-independent pixels from the client area's corner, colours, titles,
texts, the catalogue of squares and the reveal patterns."""

from desktops import SCREEN

SCREEN_W, SCREEN_H = SCREEN
CLIENT_W, CLIENT_H = 548, 350

PARTI = (320, 200, 81, 57)
ISTRUZIONI = (400, 312, 65, 25)
OK = (480, 312, 57, 25)
ESCI = (480, 312, 57, 25)
CONFERMA = (472, 176, 65, 25)
FINE = (488, 312, 49, 25)
MESSAGE = (288, 280, 185, 33)
BOX = 41
PUZZLE_BG = (192, 255, 255)
START_BG = (255, 128, 128)
INSTRUCTIONS_BG = (255, 192, 128)
BG_PROBE = (4, 4)

PATTERNS = [{1, 3, 5}, {9, 3, 5}, {6, 3, 5}, {1, 3, 7}, {7, 8, 5},
            {1, 2, 5}, {4, 9, 5}, {7, 9, 5}, {8, 3, 5}]
# Every cell of a magic square as centre + ka * a + kb * b.
CELL_COEF = {1: (1, 0), 2: (-1, -1), 3: (0, 1), 4: (-1, 1), 5: (0, 0),
             6: (1, -1), 7: (0, -1), 8: (1, 1), 9: (-1, 0)}

BACKGROUNDS = {"start": START_BG, "instructions": INSTRUCTIONS_BG, "puzzle": PUZZLE_BG}
TITLES = {"start": "Cifrella", "instructions": "Istruzioni", "puzzle": "Cifrella"}

# The catalogue, as the test's own oracle: nine cells row by row, then the key.
SQUARES = [
    (2, 9, 4, 7, 5, 3, 6, 1, 8, 15), (7, 21, 11, 17, 13, 9, 15, 5, 19, 39), (8, 13, 6, 7, 9, 11, 12, 5, 10, 27),
    (3, 10, 5, 8, 6, 4, 7, 2, 9, 18), (6, 20, 10, 16, 12, 8, 14, 4, 18, 36), (4, 11, 6, 9, 7, 5, 8, 3, 10, 21),
    (4, 18, 8, 14, 10, 6, 12, 2, 16, 30), (2, 16, 6, 12, 8, 4, 10, 0, 14, 24), (5, 19, 9, 15, 11, 7, 13, 3, 17, 33),
    (5, 12, 7, 10, 8, 6, 9, 4, 11, 24), (12, 19, 14, 17, 15, 13, 16, 11, 18, 45), (5, 10, 3, 4, 6, 8, 9, 2, 7, 18),
    (11, 16, 9, 10, 12, 14, 15, 8, 13, 36), (10, 15, 8, 9, 11, 13, 14, 7, 12, 33), (4, 9, 2, 3, 5, 7, 8, 1, 6, 15),
    (6, 11, 4, 5, 7, 9, 10, 3, 8, 21), (12, 17, 10, 11, 13, 15, 16, 9, 14, 39), (3, 8, 1, 2, 4, 6, 7, 0, 5, 12),
    (7, 12, 5, 6, 8, 10, 11, 4, 9, 24), (8, 13, 6, 7, 9, 11, 12, 5, 10, 27), (13, 18, 11, 12, 14, 16, 17, 10, 15, 42),
    (19, 24, 17, 18, 20, 22, 23, 16, 21, 60), (14, 19, 12, 13, 15, 17, 18, 11, 16, 45),
    (15, 20, 13, 14, 16, 18, 19, 12, 17, 48), (16, 21, 14, 15, 17, 19, 20, 13, 18, 51),
    (17, 22, 15, 16, 18, 20, 21, 14, 19, 54), (18, 23, 16, 17, 19, 21, 22, 15, 20, 57),
]
BRAVO = "Bravo!"
CORREGGITI = "Attento... Correggiti!"


def cell_rect(n):
    """Box n of the grid, row by row from 1."""
    return (312 + 48 * ((n - 1) % 3), 120 + 48 * ((n - 1) // 3), BOX, BOX)


def box_name(n):
    return f"Riga {(n - 1) // 3 + 1}, colonna {(n - 1) % 3 + 1}"
