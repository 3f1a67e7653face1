h
h
h
C3	40
