-- The export benchmark's table, added to the sample order book
-- (examples/orders.sql): 65,000 records of ten fields, five numbers, three
-- texts, a date and an amount in currency.
DROP TABLE IF EXISTS bench;
CREATE TABLE bench (
  id INTEGER PRIMARY KEY,
  quantity INTEGER NOT NULL,
  line INTEGER NOT NULL,
  discount REAL NOT NULL,
  weight REAL NOT NULL,
  customer VARCHAR(20) NOT NULL,
  city VARCHAR(12) NOT NULL,
  product VARCHAR(20) NOT NULL,
  order_date DATE NOT NULL,
  amount CURRENCY NOT NULL
);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 65000)
INSERT INTO bench
SELECT i, o.quantity, i % 7 + 1, o.discount, round(i % 1000 * 0.137, 3),
       o.customer, o.city, o.product,
       date(o.order_date, '+' || (i / 4000) || ' months'), o.amount
FROM n JOIN orders AS o ON o.order_no = 100001 + (i - 1) % 4000;
