h
h
h
C3	40
C7	80
