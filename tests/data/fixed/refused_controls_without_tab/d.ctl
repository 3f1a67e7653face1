h
h
h
C1	1	1

C9
