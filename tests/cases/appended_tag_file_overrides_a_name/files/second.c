c
d
