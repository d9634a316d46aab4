# Fills the bound options store with 30 random options of every type, the
# names and texts drawn from characters a replay must quote or escape, bytes
# that are not UTF-8 among them (as the lone surrogates that stand for them);
# argv[1] seeds the draw.
import random, sys
random.seed(int(sys.argv[1]))
pool = ['a', 'Z', ' ', '"', '\\', "'", '{', '}', '\t', '\x01', '\x7f', '\u00e9', '\u20ac', '%', '#', '""',
        '\x85', '\u2028', '\U0001f600', '\udcff', '\udc80', '\udce9', '\udcc3', '\udca9', '\udced\udca0\udc80']
suffixes = ['', ' x', '\u00fc', '"q"', '\udcff', '\udcf0\udc9f']
for i in range(30):
    kind = random.randrange(4)
    name = "o%d" % i + random.choice(suffixes)
    vis = random.random() < 0.5
    if kind == 0:
        options.setInteger(name, random.randrange(-2**31, 2**31), vis)
    elif kind == 1:
        options.setDouble(name, random.choice([random.uniform(-1e10, 1e10), 1e-300, -0.0, 0.1, 5e-324, float('inf'), -1.7976931348623157e308]), vis)
    elif kind == 2:
        options.setString(name, "".join(random.choice(pool) for _ in range(random.randrange(12))), vis)
    else:
        options.setBoolean(name, random.random() < 0.5, vis)
